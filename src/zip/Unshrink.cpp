// Unshrink: decoding ZIP method 1 ("shrunk"), LZW with partial clearing.
//
// The compressed data is a sequence of codes, least significant bit first, 9 bits
// wide at the start. Codes 0..255 stand for single bytes; codes 257..8192 are
// strings, each defined as an earlier string (its parent, a byte or a code) plus
// one byte (its suffix). Every code read after the first defines the next free
// code: the previous code's string plus the first byte of the current one. Code
// 256 announces a control code: 256,1 widens the codes by one bit (at most 13),
// 256,2 is a partial clear, which frees every code that is no other code's parent
// (the leaves of the string tree), so the dictionary keeps its inner strings.
// Unlike classic LZW, freed codes are reused in increasing order before the codes
// never used, so the free codes form a list: a free code's Parent holds minus the
// next free code.
//
// A string is produced backwards by following parents, collected on a stack and
// written out reversed. The one code that can be read before it is defined is the
// free code this very step defines ("KwKwK"): it decodes as the previous string
// plus that string's first byte.
//
// Tricky cases, and what happens here:
//  - The first code is written as its low 8 bits, whatever it is.
//  - The loop ends when the compressed size's bits are used up; the data has no end
//    code. An entry whose compressed size is unknown (flag bit 3) is refused (-6).
//  - A code whose parent chain cycles (possible after partial clears in hostile
//    data) or is longer than any real string would overflow the stack; a chain of
//    more than 8,192 bytes is invalid data (-4).
//  - Data that runs out before the compressed size is used up (a truncated
//    archive) is -3 as soon as a bit past the end is used, instead of decoding
//    zeros up to a compressed size that may be huge.
//  - A width above 13 bits, or a control code other than 1 and 2: -4.
//
// Output goes through a 767-byte buffer, written out with FlushWindow when full.
#include <array>
#include <memory>

#include "zip/Decoders.h"

namespace setup::zip {
namespace {

constexpr std::int32_t kFirstStringCode = 257;
constexpr std::int32_t kLastCode = 8192;
constexpr std::uint32_t kMaxCodeBits = 13;
constexpr std::size_t kStackSize = 8192;
constexpr std::size_t kOutBufferSize = 767;

struct ShrinkWorkArea {
    std::array<std::int32_t, kLastCode + 1> Parent;  // negative: free, minus the next free code
    std::array<std::uint8_t, kLastCode + 1> Suffix;
    std::array<std::uint8_t, kStackSize> Stack;
    std::array<std::uint8_t, kOutBufferSize> OutBuffer;
    std::array<bool, kLastCode + 1> Leaf;
    std::size_t OutCount = 0;
    std::int32_t FreeHead = kFirstStringCode;  // 8193 when no code is free
};

class Unshrinker {
  public:
    explicit Unshrinker(ExtractState& state)
        : state_(state), work_(std::make_unique<ShrinkWorkArea>()) {}

    std::int32_t Run();

  private:
    bool Output(std::uint8_t byte) {
        work_->OutBuffer[work_->OutCount++] = byte;
        if (work_->OutCount == kOutBufferSize) {
            work_->OutCount = 0;
            return state_.FlushWindow(work_->OutBuffer);
        }
        return true;
    }
    void PartialClear();

    ExtractState& state_;
    std::unique_ptr<ShrinkWorkArea> work_;
};

void Unshrinker::PartialClear() {
    ShrinkWorkArea& w = *work_;
    const std::int32_t limit = w.FreeHead;  // codes from FreeHead upwards stay as they are
    for (std::int32_t code = kFirstStringCode; code < limit; ++code) {
        w.Leaf[static_cast<std::size_t>(code)] = true;
    }
    for (std::int32_t code = kFirstStringCode; code < limit; ++code) {
        const std::int32_t parent = w.Parent[static_cast<std::size_t>(code)];
        if (parent > 256 && parent < limit) {
            w.Leaf[static_cast<std::size_t>(parent)] = false;
        }
    }
    // The leaves become the new head of the free list, in increasing order.
    std::int32_t next = w.FreeHead;
    for (std::int32_t code = limit - 1; code >= kFirstStringCode; --code) {
        if (w.Leaf[static_cast<std::size_t>(code)]) {
            w.Parent[static_cast<std::size_t>(code)] = -next;
            next = code;
        }
    }
    w.FreeHead = next;
}

std::int32_t Unshrinker::Run() {
    ShrinkWorkArea& w = *work_;
    if (state_.EntryCompressedSize == kUnknownSize) {
        return Fail(ZipErrMethod);
    }
    state_.ResetInput();
    for (std::int32_t code = kFirstStringCode; code <= kLastCode; ++code) {
        w.Parent[static_cast<std::size_t>(code)] = -(code + 1);
    }
    w.FreeHead = kFirstStringCode;
    std::uint32_t codeBits = 9;

    std::int32_t previous = static_cast<std::int32_t>(state_.ReadBits(codeBits));
    std::uint8_t first = static_cast<std::uint8_t>(previous);
    if (!Output(first)) {
        return Fail(ZipErrWrite);
    }
    std::int64_t bitsLeft = static_cast<std::int64_t>(state_.EntryCompressedSize) * 8 - 9;

    while (!state_.AbortRequested && bitsLeft >= codeBits) {
        if (state_.InputExhausted()) {
            return Fail(ZipErrRead);
        }
        std::int32_t code = static_cast<std::int32_t>(state_.ReadBits(codeBits));
        bitsLeft -= codeBits;
        if (code == 256) {
            const std::uint32_t control = state_.ReadBits(codeBits);
            bitsLeft -= codeBits;
            if (control == 1) {
                if (++codeBits > kMaxCodeBits) {
                    return Fail(ZipErrFormat);
                }
            } else if (control == 2) {
                PartialClear();
            } else {
                return Fail(ZipErrFormat);
            }
            continue;
        }

        const std::int32_t current = code;
        if (code < 256) {
            first = static_cast<std::uint8_t>(code);
            if (!Output(first)) {
                return Fail(ZipErrWrite);
            }
        } else {
            std::size_t top = kStackSize;  // the stack fills downwards
            if (w.Parent[static_cast<std::size_t>(code)] < 0) {
                w.Stack[--top] = first;  // the code being defined: previous string + its first byte
                code = previous;
            }
            while (code > 256) {
                if (top == 0) {
                    return Fail(ZipErrFormat);  // a cycle, or longer than any real string
                }
                w.Stack[--top] = w.Suffix[static_cast<std::size_t>(code)];
                code = w.Parent[static_cast<std::size_t>(code)];
            }
            first = static_cast<std::uint8_t>(code);
            if (!Output(first)) {
                return Fail(ZipErrWrite);
            }
            for (; top < kStackSize; ++top) {
                if (!Output(w.Stack[top])) {
                    return Fail(ZipErrWrite);
                }
            }
        }

        if (w.FreeHead <= kLastCode) {
            const auto slot = static_cast<std::size_t>(w.FreeHead);
            if (w.Parent[slot] >= 0) {
                return Fail(ZipErrFormat);  // the free list is damaged
            }
            w.FreeHead = -w.Parent[slot];
            w.Parent[slot] = previous;
            w.Suffix[slot] = first;
        }
        previous = current;
    }
    if (state_.AbortRequested) {
        return Fail(ZipErrAborted);
    }
    if (!state_.FlushWindow({w.OutBuffer.data(), w.OutCount})) {
        return Fail(ZipErrWrite);
    }
    return 0;
}

}  // namespace

std::int32_t UnshrinkEntry(ExtractState& state) {
    return Unshrinker(state).Run();
}

}  // namespace setup::zip
