// The two prefix codes of a deflate block (RFC 1951, 3.2.5 to 3.2.7): the fixed
// codes of block type 1, and those a dynamic block (type 2) sends in its header.
// Inflate.cpp decodes the block's symbols with them.
#pragma once

#include <cstdint>

#include "zip/CodeAlphabets.h"
#include "zip/DecodeTables.h"
#include "zip/ExtractState.h"

namespace setup::zip {

// The low `bits` bits set.
constexpr std::uint32_t BitMask(std::uint32_t bits) {
    return (1u << bits) - 1;
}

// The tables of one block's literal/length and distance codes.
struct BlockTables {
    DecodeTable<kLiteralTableEntries> literal;
    DecodeTable<kDistanceTableEntries> distance;
};

// The fixed codes' tables, built once: 0 with `tables` set, or what the block ends
// with when they could not be built.
std::int32_t FixedCodes(const BlockTables*& tables);

// Reads a dynamic block's header (the code counts, the code-length code, the
// run-length coded lengths) and builds its codes into `tables`: 0, -4, or 1
// when a repeat of 16 or 17 ran past the lengths to read.
std::int32_t ReadDynamicCodes(ExtractState& state, BlockTables& tables);

}  // namespace setup::zip
