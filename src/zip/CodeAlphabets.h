// The prefix codes the decoders build tables for: the root width each one is
// looked up with, and the most table entries any code of its alphabet can need.
//
// The table builder accepts a code when it is complete (or a single code of one
// bit) and, for deflate's distance codes only, also when it is incomplete. For
// each alphabet the worst case over every accepted code was found by enumerating
// all distributions of code lengths (tests/zip/TableBoundTest.cpp repeats that
// enumeration and builds the worst code of each alphabet); the tables are fixed
// arrays of exactly that size, so decoding a hostile archive never allocates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace setup::zip {

// Deflate: literal/length codes (up to 288 symbols, since HLIT counts up to 288
// even though 286 and 287 must not occur), distance codes (up to 32 symbols),
// and the code-length code (19 symbols of at most 7 bits); codes of at most 15 bits.
// Every block's tables, fixed codes and dynamic ones, have roots of the same
// widths, so that the decoder masks with constants; the fixed codes (7 to 9 and 5
// bits) fit their roots whole.
inline constexpr std::uint32_t kDeflateLongestCode = 15;
inline constexpr std::uint32_t kLiteralRootBits = 11;
inline constexpr std::uint32_t kDistanceRootBits = 8;
inline constexpr std::uint32_t kCodeLengthBits = 7;
inline constexpr std::size_t kLiteralSymbols = 288;
inline constexpr std::size_t kDistanceSymbols = 32;
inline constexpr std::size_t kLiteralTableEntries = 2342;  // complete codes, root 11
inline constexpr std::size_t kDistanceTableEntries = 534;  // incomplete codes too, root 8

// Imploded entries: a literal tree of 256 symbols, length and distance trees of
// 64; codes of at most 16 bits, complete trees only.
inline constexpr std::uint32_t kImplodeLongestCode = 16;
inline constexpr std::uint32_t kImplodeLiteralBits = 9;
inline constexpr std::uint32_t kImplodeLengthBits = 7;
inline constexpr std::uint32_t kImplodeSmallDistanceBits = 7;
inline constexpr std::uint32_t kImplodeLargeDistanceBits = 8;
inline constexpr std::size_t kImplodeLiteralSymbols = 256;
inline constexpr std::size_t kImplodeTreeSymbols = 64;
inline constexpr std::size_t kImplodeLiteralEntries = 884;  // root 9
inline constexpr std::size_t kImplodeTreeEntries = 690;     // root 7; root 8 needs at most 562

}  // namespace setup::zip
