// Lookup tables for canonical prefix codes: the one table builder behind every
// prefix code the extractor decodes (deflate's literal/length, distance and
// code-length codes, and the three Shannon-Fano trees of imploded entries).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace setup::zip {

// A table entry is four bytes, {Bits, Op, Value}; Op says what the entry is:
//
//   Op        the entry                                          Value
//   1..14     a base (length or distance), then extra bits       the base
//   15        the end of the block (deflate's symbol 256)        256
//   17..31    a link to a sub-table indexed by Op - 16 bits      the sub-table's index
//   99        no code, or a symbol that must not occur           unused
//   128       a literal, or a symbol of a simple code            the symbol
//
// A literal is the only entry with the Op byte's top bit set, so that the most
// frequent question, literal or not, is a test of one bit.
//
// Bits is the number of bits the entry consumes at its level; a link in the root
// table consumes the root width. Links occur in root tables only. A base entry
// consumes its code and its extra bits at once: Op is the number of code bits at
// its level and Bits that plus the extra bits, so that a decoder drops both with
// one shift and takes the extra value from the bits it dropped (BaseValue).
//
// Read as one little-endian word (EntryWord, as inflate's fast loop holds it):
//
//   bits 31..16   Value
//   bits 15..8    Op
//   bits  7..0    Bits
//
// Bits comes first so that the word itself can be the shift count and the amount
// subtracted from a bit count: the shift takes the low bits only, and the borrow of
// the subtraction never reaches below bit 8.
inline constexpr std::uint8_t kOpEndOfBlock = 15;
inline constexpr std::uint8_t kOpLinkBase = 16;  // a link's Op is this plus its index bits
inline constexpr std::uint8_t kOpInvalid = 99;
inline constexpr std::uint8_t kOpLiteral = 128;

// No initialisers: a decoder's tables are built afresh for every block, and
// clearing thousands of entries for every small file would cost more than building them.
struct HuffEntry {
    std::uint8_t Bits;  // bits this entry consumes at its level
    std::uint8_t Op;
    std::uint16_t Value;  // symbol, base value, or index of the sub-table
};
// The entry of a code nobody uses (and of a table without codes).
inline constexpr HuffEntry kNoCode{0, kOpInvalid, 0};

// What an Op byte says.
constexpr bool IsBaseOp(std::uint32_t op) {
    return op < kOpEndOfBlock;
}
constexpr bool IsInvalidOp(std::uint32_t op) {
    return op == kOpInvalid;
}
// A link to a sub-table: an index of 1 to 15 bits.
constexpr bool IsLinkOp(std::uint32_t op) {
    return op - (kOpLinkBase + 1) < 15;
}
// Where a link leads: its sub-table starts at `value` and is indexed by the next
// op - kOpLinkBase bits, those after the root bits (least significant first; more
// bits than needed may be given).
constexpr std::size_t LinkedIndex(std::uint32_t op, std::uint32_t value,
                                  std::uint32_t bitsAfterRoot) {
    return value + (bitsAfterRoot & ((1u << (op - kOpLinkBase)) - 1));
}

constexpr bool IsInvalid(const HuffEntry& entry) {
    return IsInvalidOp(entry.Op);
}
constexpr bool IsLink(const HuffEntry& entry) {
    return IsLinkOp(entry.Op);
}
// The number of further bits a link's sub-table is indexed by.
constexpr std::uint32_t LinkBits(const HuffEntry& entry) {
    return entry.Op - std::uint32_t{kOpLinkBase};
}
constexpr HuffEntry MakeLink(std::uint32_t indexBits, std::uint32_t rootBits, std::size_t start) {
    return HuffEntry{static_cast<std::uint8_t>(rootBits),
                     static_cast<std::uint8_t>(kOpLinkBase + indexBits),
                     static_cast<std::uint16_t>(start)};
}
// The sub-table entry a link leads to.
inline HuffEntry FollowLink(const HuffEntry* entries, const HuffEntry& link,
                            std::uint32_t bitsAfterRoot) {
    return entries[LinkedIndex(link.Op, link.Value, bitsAfterRoot)];
}

// An entry as one word (layout above).
using EntryWord = std::uint32_t;
static_assert(sizeof(HuffEntry) == sizeof(EntryWord));
inline EntryWord LoadEntryWord(const HuffEntry* entry) {
    if constexpr (std::endian::native == std::endian::little) {
        EntryWord word;
        std::memcpy(&word, entry, sizeof word);
        return word;
    } else {
        return EntryWord{entry->Bits} | EntryWord{entry->Op} << 8 | EntryWord{entry->Value} << 16;
    }
}
constexpr EntryWord MakeEntryWord(std::uint32_t bits, std::uint32_t op, std::uint32_t value) {
    return bits | op << 8 | value << 16;
}
// Stores an entry with one word write (a table is filled with thousands of them).
inline void StoreEntryWord(HuffEntry* entry, EntryWord word) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(entry, &word, sizeof word);
    } else {
        *entry = HuffEntry{static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                           static_cast<std::uint16_t>(word >> 16)};
    }
}
constexpr std::uint32_t EntryBits(EntryWord entry) {
    return entry & 0xFF;
}
constexpr std::uint32_t EntryOp(EntryWord entry) {
    return (entry >> 8) & 0xFF;
}
constexpr std::uint32_t EntryValue(EntryWord entry) {
    return entry >> 16;
}
constexpr bool IsLiteralEntry(EntryWord entry) {
    return (entry & (EntryWord{kOpLiteral} << 8)) != 0;
}
// A base entry's value: its base plus the extra bits that follow its code in
// `bits` (the bits the entry was looked up with, its code's first bit lowest).
template <typename Word>
constexpr std::uint32_t BaseValue(EntryWord entry, Word bits) {
    const Word codeAndExtra = bits & ((Word{1} << EntryBits(entry)) - 1);
    return EntryValue(entry) + static_cast<std::uint32_t>(codeAndExtra >> EntryOp(entry));
}
inline EntryWord FollowLink(const HuffEntry* entries, EntryWord link, std::uint32_t bitsAfterRoot) {
    return LoadEntryWord(entries + LinkedIndex(EntryOp(link), EntryValue(link), bitsAfterRoot));
}

// The tables of one code: the root (2^RootBits entries) at the front, the
// sub-tables behind it. Sub-tables are one level deep and exactly as wide as the
// codes sharing their root prefix need, as in zlib's inflate. Codes are entered
// bit-reversed, since the first bit of a code is the least significant bit read.
// The storage is fixed: kCapacity is the worst case of the code's alphabet (see
// CodeAlphabets.h), so building never allocates.
template <std::size_t kCapacity>
struct DecodeTable {
    static_assert(kCapacity <= 0x10000, "a link holds a sub-table's index in 16 bits");
    std::array<HuffEntry, kCapacity> Entries;
    std::uint32_t RootBits = 0;
    std::uint32_t Size = 0;  // entries in use, root and sub-tables
};

// Results of BuildDecodeTables.
inline constexpr int kTableComplete = 0;
// Unused codes remain (and the longest code is not 1 bit).
inline constexpr int kTableIncomplete = 1;
// Over-subscribed, a length above 16, a missing base, or more entries than the
// storage holds (which the worst-case sizes rule out).
inline constexpr int kTableInvalid = 2;

struct BuiltTable {
    int Result = kTableInvalid;
    std::uint32_t RootBits = 0;
    std::uint32_t Size = 0;
};

// Builds the tables for the code given by `lengths` (0 = symbol unused) into
// `entries`.
// Symbols below `simpleCount` decode to themselves (Op kOpLiteral, or kOpEndOfBlock
// for 256 and above); symbol v >= simpleCount decodes to base[v - simpleCount] with
// extra[v - simpleCount] extra bits (extra kOpInvalid marks a symbol that must not
// occur).
// The root table is always `rootBits` wide, also for codes that are all shorter
// (their entries repeat), so that a decoder may index it with a fixed mask; codes
// longer than the root go into sub-tables. An empty code gives a root of invalid
// entries and result kTableComplete. Codes that stay unused decode as kOpInvalid.
BuiltTable BuildDecodeTablesInto(std::span<const std::uint8_t> lengths, std::uint32_t simpleCount,
                                 const std::uint16_t* base, const std::uint8_t* extra,
                                 std::uint32_t rootBits, std::span<HuffEntry> entries);

template <std::size_t kCapacity>
int BuildDecodeTables(std::span<const std::uint8_t> lengths, std::uint32_t simpleCount,
                      const std::uint16_t* base, const std::uint8_t* extra, std::uint32_t rootBits,
                      DecodeTable<kCapacity>& table) {
    const BuiltTable built =
        BuildDecodeTablesInto(lengths, simpleCount, base, extra, rootBits, table.Entries);
    table.RootBits = built.RootBits;
    table.Size = built.Size;
    return built.Result;
}

}  // namespace setup::zip
