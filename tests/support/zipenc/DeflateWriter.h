// Writes deflate streams by hand, for the inflate tests: blocks with the fixed
// codes, stored blocks with any length and complement (wrong ones too), and dynamic
// block headers from a code-length script, so that a test builds exactly the
// stream one rule of the format needs, valid or not. Symbols of a dynamic block go
// straight to `bits`, with codes from CanonicalCodes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/zipenc/BitWriter.h"

namespace setup::zipenc {

struct DeflateWriter {
    BitWriter bits;

    void BlockHeader(bool final, int type);
    // A literal/length symbol (0 to 287) with the fixed code.
    void FixedSymbol(int value);
    // A match with the fixed codes: length symbol, extra bits, distance code, extra bits.
    void FixedMatch(int length, int distance);
    void Stored(bool final, std::uint16_t length, std::uint16_t complement,
                const std::string& data);
    // A dynamic header whose code-length code gives symbols 0..12 four bits and
    // 13..18 five bits; `script` holds (code-length symbol, extra value) pairs.
    void DynamicHeader(bool final, int literalCount, int distanceCount,
                       const std::vector<std::pair<int, int>>& script);
    std::vector<std::uint8_t> Finish() { return std::move(bits).Finish(); }
};

// Code-length script for lengths given explicitly, runs of zeros as symbol 18.
std::vector<std::pair<int, int>> CodeLengthScript(const std::vector<int>& lengths);

// Canonical codes for `lengths` (RFC 1951, 3.2.2).
std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths);

}  // namespace setup::zipenc
