// Building lookup tables for canonical prefix codes.
//
// A canonical code is fully described by its code lengths: codes are handed out in
// order of increasing length, and within one length in order of increasing symbol
// value, each code being the previous one plus one, shifted left whenever the
// length grows (RFC 1951, 3.2.2). The lengths are checked first: counting, for each
// length, how many codes of that length are still free must never go negative
// (over-subscribed, invalid); codes left over make the code incomplete, which some
// callers accept and others refuse.
//
// Decoding reads the code's first bit as the least significant bit of the index,
// so each code is entered bit-reversed, and a code of length k shorter than the
// table's width w fills every 2^k-th entry starting at its reversed value (the
// remaining w - k index bits belong to the following code). Rather than writing
// those entries with a stride, the root is filled at the width of the codes entered
// so far and doubled by copying its filled part whenever the codes grow longer: a
// copy keeps an entry's low bits, which are all a shorter code is indexed by, so
// every entry is written once in a run (libdeflate builds its tables the same
// way). A code that is not complete starts from unused entries, which the copies
// spread likewise; a complete one covers every entry. Codes longer than the
// root width go into sub-tables: all codes sharing the same first RootBits bits are
// consecutive in canonical order, so a sub-table is opened when that prefix
// changes. Its width starts at the current code's remaining length and grows while
// the codes of the next lengths would not fill it, so that each sub-table is
// exactly as wide as the longest code it has to hold (zlib's inflate sizes its
// sub-tables the same way). Entries not covered by any code stay invalid, which is
// how the decoders see codes that an incomplete code leaves unused.
#include "zip/DecodeTables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace setup::zip {
namespace {

constexpr std::uint32_t kMaxLength = 16;
constexpr std::size_t kMaxSymbols = 320;  // deflate has 288 + 32, the others fewer

// Marks entries [from, to) as unused codes.
void FillNoCode(std::span<HuffEntry> entries, std::size_t from, std::size_t to) {
    const EntryWord none = MakeEntryWord(kNoCode.Bits, kNoCode.Op, kNoCode.Value);
    for (std::size_t i = from; i < to; ++i) {
        StoreEntryWord(&entries[i], none);
    }
}

}  // namespace

BuiltTable BuildDecodeTablesInto(std::span<const std::uint8_t> lengths, std::uint32_t simpleCount,
                                 const std::uint16_t* base, const std::uint8_t* extra,
                                 std::uint32_t rootBits, std::span<HuffEntry> entries) {
    const BuiltTable invalid{};
    if (lengths.size() > kMaxSymbols || entries.empty()) {
        return invalid;
    }
    // Counted in four interleaved tallies: runs of equal lengths are common, and
    // one tally would make each count wait for the store of the one before.
    std::array<std::array<std::uint32_t, kMaxLength + 1>, 4> tally{};
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        if (lengths[symbol] > kMaxLength) {
            return invalid;
        }
        ++tally[symbol % 4][lengths[symbol]];
    }
    std::array<std::uint32_t, kMaxLength + 1> count;
    for (std::uint32_t length = 0; length <= kMaxLength; ++length) {
        count[length] = tally[0][length] + tally[1][length] + tally[2][length] + tally[3][length];
    }
    const std::uint32_t root = rootBits;
    if (rootBits > kMaxLength || (std::size_t{1} << root) > entries.size()) {
        return invalid;
    }
    // A base entry's Op holds its code bits at their level, below kOpEndOfBlock.
    if (base != nullptr && (root >= kOpEndOfBlock || kMaxLength - root >= kOpEndOfBlock)) {
        return invalid;
    }
    if (count[0] == lengths.size()) {
        FillNoCode(entries, 0, std::size_t{1} << root);
        return BuiltTable{kTableComplete, root, 1u << root};
    }

    std::uint32_t longest = kMaxLength;
    while (count[longest] == 0) {
        --longest;
    }

    // Free codes per length, in units of the current length.
    std::int32_t unused = 1;
    for (std::uint32_t length = 1; length <= kMaxLength; ++length) {
        unused = unused * 2 - static_cast<std::int32_t>(count[length]);
        if (unused < 0) {
            return invalid;
        }
    }
    const bool incomplete = unused > 0;

    // Symbols in canonical order: by length, then by value.
    std::array<std::uint32_t, kMaxLength + 2> offset{};
    for (std::uint32_t length = 1; length <= kMaxLength; ++length) {
        offset[length + 1] = offset[length] + count[length];
    }
    std::array<std::uint16_t, kMaxSymbols> sortedStorage;
    const std::span<std::uint16_t> sorted(sortedStorage.data(), offset[kMaxLength + 1]);
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        if (lengths[symbol] != 0) {
            if (symbol >= simpleCount && (base == nullptr || extra == nullptr)) {
                return invalid;
            }
            sorted[offset[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
        }
    }

    std::size_t size = std::size_t{1} << root;
    // A complete code covers every entry; only an incomplete one leaves some unused.
    const bool anyUnused = unused > 0;
    // The root's filled part: 2^width entries, doubled until the next code fits.
    std::uint32_t width = std::min<std::uint32_t>(lengths[sorted[0]], root);
    if (anyUnused) {
        FillNoCode(entries, 0, std::size_t{1} << width);
    }
    const auto widen = [&entries, &width](std::uint32_t to) {
        for (; width < to; ++width) {
            std::memcpy(&entries[std::size_t{1} << width], entries.data(),
                        sizeof(HuffEntry) << width);
        }
    };
    std::array<std::uint32_t, kMaxLength + 1> left = count;  // codes not yet entered
    // The current code, bit-reversed: codes grow by appending zeros at the end,
    // which leaves the reversed value unchanged, and the next code is the reversed
    // value incremented from its top bit down.
    std::uint32_t reversed = 0;
    std::uint32_t subPrefix = ~0u;  // root prefix of the open sub-table
    std::size_t subStart = 0;
    std::uint32_t subBits = 0;
    for (std::uint16_t symbol : sorted) {
        const std::uint32_t length = lengths[symbol];
        // The entry for the code's bits at its level (all of them in the root, those
        // after the root in a sub-table).
        const auto entryAt = [&](std::uint32_t codeBits) {
            if (symbol < simpleCount) {
                return MakeEntryWord(codeBits, symbol < 256 ? kOpLiteral : kOpEndOfBlock, symbol);
            }
            const std::uint32_t extraBits = extra[symbol - simpleCount];
            if (extraBits == kOpInvalid) {
                return MakeEntryWord(codeBits, kOpInvalid, base[symbol - simpleCount]);
            }
            return MakeEntryWord(codeBits + extraBits, codeBits, base[symbol - simpleCount]);
        };

        if (length <= root) {
            widen(length);
            StoreEntryWord(&entries[reversed], entryAt(length));
        } else {
            widen(root);  // the root is complete before the first link goes in
            const std::uint32_t prefix = reversed & ((1u << root) - 1);
            if (prefix != subPrefix) {
                // Widen until the codes of this prefix fill the sub-table.
                std::uint32_t bits = length - root;
                std::int32_t room = 1 << bits;
                while (bits + root < longest) {
                    room -= static_cast<std::int32_t>(left[bits + root]);
                    if (room <= 0) {
                        break;
                    }
                    ++bits;
                    room <<= 1;
                }
                subStart = size;
                if ((std::size_t{1} << bits) > entries.size() - size) {
                    return invalid;
                }
                size += std::size_t{1} << bits;
                if (anyUnused) {
                    FillNoCode(entries, subStart, size);
                }
                entries[prefix] = MakeLink(bits, root, subStart);
                subPrefix = prefix;
                subBits = bits;
            }
            const EntryWord entry = entryAt(length - root);
            for (std::size_t i = reversed >> root; i < (std::size_t{1} << subBits);
                 i += std::size_t{1} << (length - root)) {
                StoreEntryWord(&entries[subStart + i], entry);
            }
        }
        --left[length];
        // The next code: the highest zero bit below `length` set, the bits above it
        // (the code's last bits, all ones) cleared. After the last code there is none.
        const std::uint32_t ones = reversed ^ ((1u << length) - 1);
        if (ones == 0) {
            break;
        }
        const std::uint32_t bit = std::uint32_t{1} << (31 - std::countl_zero(ones));
        reversed = (reversed & (bit - 1)) | bit;
    }
    widen(root);
    return BuiltTable{incomplete && longest != 1 ? kTableIncomplete : kTableComplete, root,
                      static_cast<std::uint32_t>(size)};
}

}  // namespace setup::zip
