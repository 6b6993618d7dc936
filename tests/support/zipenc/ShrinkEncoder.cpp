#include "support/zipenc/ShrinkEncoder.h"

#include <stdexcept>

#include "support/zipenc/BitWriter.h"

namespace setup::zipenc {
namespace {

constexpr int kEscape = 256;
constexpr int kFirstEntry = 257;
// The decoder's table reaches up to 8192 (one code more than 13 bits can name);
// the free list ends at kNoFreeCode.
constexpr int kLastSlot = 8192;
constexpr int kNoFreeCode = kLastSlot + 1;
constexpr int kGrow = 1;
constexpr int kPartialClear = 2;

std::size_t ChildKey(int parent, std::uint8_t byte) {
    return static_cast<std::size_t>(parent) << 8 | byte;
}

}  // namespace

ShrinkEncoder::ShrinkEncoder(ShrinkOptions options) : options_(options) {
    if (options_.maxCodeBits < 9 || options_.maxCodeBits > 13) {
        throw std::invalid_argument("ShrinkEncoder: maxCodeBits must be 9 to 13");
    }
}

void ShrinkEncoder::Reset() {
    stats_ = {};
    parent_.assign(kNoFreeCode + 1, 0);
    suffix_.assign(kNoFreeCode + 1, 0);
    inUse_.assign(kNoFreeCode + 1, 0);
    everUsed_.assign(kNoFreeCode + 1, 0);
    nextFree_.assign(kNoFreeCode + 1, kNoFreeCode);
    childCount_.assign(kNoFreeCode + 1, 0);
    orphanCount_ = 0;
    for (int code = kFirstEntry; code <= kLastSlot; ++code) {
        nextFree_[code] = code + 1;
    }
    freeHead_ = kFirstEntry;
    lastAdded_ = kEscape;
    codesInUse_ = 0;
    children_.assign(static_cast<std::size_t>(kNoFreeCode + 1) << 8, 0);
}

void ShrinkEncoder::AddEntry(int parent, std::uint8_t byte) {
    const int code = freeHead_;
    if (code > kLastSlot) {
        throw std::logic_error("ShrinkEncoder: table overflow");
    }
    freeHead_ = nextFree_[code];
    lastAdded_ = code;
    // Entries below this code were orphans until now.
    orphanCount_ -= childCount_[code];
    ++childCount_[parent];
    if (parent == code) {
        ++stats_.selfParented;
    } else if (parent >= kFirstEntry && !inUse_[parent]) {
        ++orphanCount_;
        ++stats_.orphans;
    }
    if (everUsed_[code]) {
        ++stats_.reusedCodes;
    }
    parent_[code] = parent;
    suffix_[code] = byte;
    inUse_[code] = 1;
    everUsed_[code] = 1;
    ++codesInUse_;
    // The key may exist already, when the previous match had to stop at the then
    // pending entry; the older entry, which stays in the table, has the same string.
    std::int16_t& child = children_[ChildKey(parent, byte)];
    if (child == 0) {
        child = static_cast<std::int16_t>(code);
    }
}

bool ShrinkEncoder::DecodersAgreeOnClear() const {
    return lastAdded_ + 1 == freeHead_ && codesInUse_ == freeHead_ - kFirstEntry &&
           orphanCount_ == 0;
}

void ShrinkEncoder::PartialClear() {
    if (!DecodersAgreeOnClear()) {
        throw std::logic_error("ShrinkEncoder: decoders would disagree on this partial clear");
    }
    ++stats_.partialClears;
    // The candidates are the codes below the first free one, all in use here; a
    // candidate survives when some code in use names it as parent.
    std::vector<int>& freed = freedScratch_;
    freed.clear();
    for (int code = kFirstEntry; code < freeHead_; ++code) {
        if (childCount_[code] == 0) {
            freed.push_back(code);
        }
    }
    for (int code : freed) {
        std::int16_t& child = children_[ChildKey(parent_[code], suffix_[code])];
        if (child == code) {
            child = 0;
        }
        const int parent = parent_[code];
        --childCount_[parent];
        if (parent >= kFirstEntry && !inUse_[parent]) {
            --orphanCount_;
        }
        inUse_[code] = 0;
        --codesInUse_;
    }
    // Freed codes come first, in increasing order, then the old free list.
    int next = freeHead_;
    for (auto it = freed.rbegin(); it != freed.rend(); ++it) {
        nextFree_[*it] = next;
        next = *it;
    }
    freeHead_ = next;
    lastAdded_ = kEscape;
    stats_.freedCodes += freed.size();
}

void ShrinkEncoder::CheckDecodable(int code, int pending) const {
    // Below the code read, a decoder expects only entries it already has.
    int steps = 0;
    for (int c = code; c >= kFirstEntry; c = parent_[c]) {
        if (!inUse_[c] || (c == pending && c != code) || ++steps > kLastSlot) {
            throw std::logic_error("ShrinkEncoder: code not decodable at this point");
        }
    }
}

std::vector<std::uint8_t> ShrinkEncoder::Encode(std::span<const std::uint8_t> input) {
    Reset();
    BitWriter out;
    if (input.empty()) {
        return std::move(out).Finish();
    }
    int codeBits = 9;
    const int lastUsableCode = (1 << options_.maxCodeBits) - 1;
    std::size_t codesSinceClear = 0;

    // Longest string from `pos` that the table holds; returns its code. The entry
    // `pending` is only added after the decoder has read this code: the code may
    // be that entry itself, but not one of its children (adopted orphans).
    auto match = [&](std::size_t& pos, int pending) {
        int code = input[pos++];
        while (pos < input.size() && code != pending) {
            const int child = children_[ChildKey(code, input[pos])];
            if (child == 0) {
                break;
            }
            code = child;
            ++pos;
        }
        return code;
    };
    auto emit = [&](int code) {
        while (code >= (1 << codeBits)) {
            out.Put(kEscape, codeBits);
            out.Put(kGrow, codeBits);
            ++codeBits;
            ++stats_.growths;
        }
        out.Put(static_cast<std::uint32_t>(code), codeBits);
        ++stats_.codes;
        ++codesSinceClear;
    };

    std::size_t pos = 0;
    int previous = match(pos, kEscape);
    emit(previous);
    while (pos < input.size()) {
        const bool full = freeHead_ > lastUsableCode;
        const bool due = options_.clearInterval != 0 && codesSinceClear >= options_.clearInterval &&
                         DecodersAgreeOnClear();
        if (full || due) {
            out.Put(kEscape, codeBits);
            out.Put(kPartialClear, codeBits);
            PartialClear();
            codesSinceClear = 0;
            if (freeHead_ > lastUsableCode) {
                throw std::logic_error("ShrinkEncoder: partial clear freed nothing");
            }
        }
        // What the decoder will add when it reads the next code.
        const int defined = freeHead_;
        AddEntry(previous, input[pos]);
        // When this entry fills the table, a clear follows the code about to be
        // written. A plain byte there cannot be freed by it, so the entry added
        // after the clear gets a parent in use instead of becoming an orphan of
        // the last code, which would keep that code from being freed next time.
        const int code = freeHead_ > lastUsableCode ? input[pos++] : match(pos, defined);
        CheckDecodable(code, defined);
        if (code == defined) {
            ++stats_.kwkwkCodes;
        }
        emit(code);
        previous = code;
    }
    stats_.finalCodeBits = codeBits;
    return std::move(out).Finish();
}

std::vector<std::uint8_t> Shrink(std::span<const std::uint8_t> input, ShrinkOptions options) {
    return ShrinkEncoder(options).Encode(input);
}

}  // namespace setup::zipenc
