// The prefix codes of ZIP method 6 ("imploded"), for tests only.
//
// The format calls them Shannon-Fano trees, but all that travels is one code
// length per symbol, and any complete prefix code with lengths 1 to 16 will do;
// this builds Huffman lengths. Every symbol of the alphabet (256 literals, 64
// lengths, 64 distances) must get a length, since the table format cannot say
// "unused", and the lengths must fill the code space exactly: decoders reject
// incomplete trees.
//
// Codes follow from the lengths: list the symbols by increasing length, equal
// lengths by increasing symbol, and hand out codes from the end of that list,
// counting upwards from all zeros. That is the bitwise complement of the canonical
// code deflate would assign, which is why decoders built for deflate read these
// codes with inverted bits. A code is sent starting with its most significant bit.
//
// The length table is sent as bytes: first the number of following bytes minus
// one, then one byte per run of equal lengths, (run - 1) in the high nibble and
// (length - 1) in the low one. Runs longer than 16 are split.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace setup::zipenc {

// Code lengths for `frequencies`, each 1 to maxLength, forming a complete code.
// Symbols that never occur still get a (long) code. Needs at least two symbols.
std::vector<std::uint8_t> ShannonFanoLengths(std::span<const std::uint32_t> frequencies,
                                             int maxLength = 16);

// The code of every symbol, right-aligned: a symbol of length n is sent as the n
// low bits of its code, most significant first.
std::vector<std::uint16_t> ShannonFanoCodes(std::span<const std::uint8_t> lengths);

// The length table as stored in the data (run-length bytes with the count byte).
std::vector<std::uint8_t> PackCodeLengths(std::span<const std::uint8_t> lengths);

}  // namespace setup::zipenc
