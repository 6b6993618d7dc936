// Lookup tables for canonical prefix codes: the one table builder behind every
// prefix code the extractor decodes (deflate's literal/length, distance and
// code-length codes, and the three Shannon-Fano trees of imploded entries).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace setup::zip {

// Op values of a table entry.
inline constexpr std::uint8_t kOpEndOfBlock = 15;  // deflate's symbol 256
inline constexpr std::uint8_t kOpLiteral = 16;     // a literal, or a symbol of a simple code
inline constexpr std::uint8_t kOpInvalid = 99;     // no code, or a symbol that must not occur
// 0..13: a base value (length or distance) followed by Op extra bits.
// 17..31: a link to the sub-table at Value, indexed by Op - 16 further bits.

struct HuffEntry {
    std::uint8_t Op = kOpInvalid;
    std::uint8_t Bits = 0;    // bits this entry consumes at its level
    std::uint16_t Value = 0;  // symbol, base value, or index of the sub-table
};

// The tables of one code: the root (2^RootBits entries) at the front, the
// sub-tables behind it. Sub-tables are one level deep and exactly as wide as the
// codes sharing their root prefix need, as in zlib's inflate. Codes are entered
// bit-reversed, since the first bit of a code is the least significant bit read.
struct DecodeTable {
    std::vector<HuffEntry> Entries;
    std::uint32_t RootBits = 0;
};

// Results of BuildDecodeTables.
inline constexpr int kTableComplete = 0;
inline constexpr int kTableIncomplete =
    1;                                   // unused codes remain (and the longest code is not 1 bit)
inline constexpr int kTableInvalid = 2;  // over-subscribed, a length above 16, or a missing base
inline constexpr int kTableNoMemory = 3;

// Builds the tables for the code given by `lengths` (0 = symbol unused).
// Symbols below `simpleCount` decode to themselves (Op kOpLiteral, or kOpEndOfBlock
// for 256 and above); symbol v >= simpleCount decodes to base[v - simpleCount] with
// extra[v - simpleCount] extra bits (extra 99 marks a symbol that must not occur).
// `rootBits` is the requested root width; it is raised to the shortest and lowered
// to the longest code length, and returns the width used. An empty code gives a
// one-entry invalid table with width 0 and result kTableComplete. Codes that stay
// unused decode as kOpInvalid.
int BuildDecodeTables(std::span<const std::uint8_t> lengths, std::uint32_t simpleCount,
                      const std::uint16_t* base, const std::uint8_t* extra, std::uint32_t& rootBits,
                      DecodeTable& table);

}  // namespace setup::zip
