// The codes of a deflate block. Type 1 uses fixed codes given by the RFC: literal
// and length symbols 0..143 of 8 bits, 144..255 of 9, 256..279 of 7, 280..287 of 8,
// and 30 distance codes of 5 bits. Type 2 sends its codes as code lengths: HLIT,
// HDIST and HCLEN (5, 5 and 4 bits), then the lengths of the code-length code, 3
// bits each, in a fixed order, then the literal/length and distance lengths as one
// sequence, prefix coded with that code and run-length coded: symbols 0..15 are a
// length, 16 repeats the previous length 3 to 6 times, 17 and 18 repeat zero 3 to
// 10 and 11 to 138 times.
//
// Tricky cases, and what happens here:
//  - Lengths 286 and 287 and distances 30 and 31 can be given code lengths but
//    must not occur in the data; their table entries are invalid (-4).
//  - Incomplete codes: an incomplete distance code (or a single distance code of
//    one bit) is legal, an incomplete literal/length or code-length code is not.
//    Unused codes decode as invalid.
//  - A repeat of the previous length before any length repeats 0. A repeat (16 or
//    17) that runs past the lengths to read gives 1, symbol 18 gives -4; callers
//    treat the positive result as a failure without a report.
//  - A repeat may run from the literal/length lengths into the distance lengths:
//    they are one sequence.
#include "zip/InflateCodes.h"

#include <algorithm>

namespace setup::zip {
namespace {

// Literal/length symbols 257..287: base lengths and extra bits; 286 and 287 are invalid.
constexpr std::uint16_t kLengthBase[31] = {3,  4,   5,   6,   7,   8,   9,   10, 11, 13, 15,
                                           17, 19,  23,  27,  31,  35,  43,  51, 59, 67, 83,
                                           99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr std::uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0,          1,         1, 1,
                                           1, 2, 2, 2, 2, 3, 3, 3,          3,         4, 4,
                                           4, 4, 5, 5, 5, 5, 0, kOpInvalid, kOpInvalid};
// Distance symbols 0..31; 30 and 31 are invalid.
constexpr std::uint16_t kDistanceBase[32] = {
    1,   2,   3,   4,   5,    7,    9,    13,   17,   25,   33,   49,    65,    97,    129, 193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 0,   0};
constexpr std::uint8_t kDistanceExtra[32] = {
    0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,          6,
    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, kOpInvalid, kOpInvalid};
// Order in which the code-length code's lengths are sent.
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

// The code-length code is built into the literal table, which is free until the
// literal code is read.
static_assert(kLiteralTableEntries >= std::size_t{1} << kCodeLengthBits);

// The fixed codes never change; built once, with the block's result codes.
struct FixedTables {
    BlockTables tables;
    int literalResult = 0;
    int distanceResult = 0;
    FixedTables() {
        std::uint8_t lengths[288];
        std::fill(lengths, lengths + 144, std::uint8_t{8});
        std::fill(lengths + 144, lengths + 256, std::uint8_t{9});
        std::fill(lengths + 256, lengths + 280, std::uint8_t{7});
        std::fill(lengths + 280, lengths + 288, std::uint8_t{8});
        literalResult = BuildDecodeTables(lengths, 257, kLengthBase, kLengthExtra, kLiteralRootBits,
                                          tables.literal);
        std::fill(lengths, lengths + 30, std::uint8_t{5});
        distanceResult = BuildDecodeTables({lengths, 30}, 0, kDistanceBase, kDistanceExtra,
                                           kDistanceRootBits, tables.distance);
    }
};

}  // namespace

std::int32_t FixedCodes(const BlockTables*& tables) {
    static const FixedTables fixed;
    if (fixed.literalResult != kTableComplete) {
        return fixed.literalResult;
    }
    if (fixed.distanceResult > kTableIncomplete) {
        return Fail(ZipErrFormat);
    }
    tables = &fixed.tables;
    return 0;
}

std::int32_t ReadDynamicCodes(ExtractState& state, BlockTables& tables) {
    const std::uint32_t literalCount = state.ReadBits(5) + 257;
    const std::uint32_t distanceCount = state.ReadBits(5) + 1;
    const std::uint32_t codeLengthCount = state.ReadBits(4) + 4;

    std::uint8_t codeLengthLengths[19] = {};
    for (std::uint32_t i = 0; i < codeLengthCount; ++i) {
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(state.ReadBits(3));
    }
    auto& codeLengths = tables.literal;  // reused: the literal code is built afterwards
    if (BuildDecodeTables(codeLengthLengths, 19, nullptr, nullptr, kCodeLengthBits, codeLengths) !=
        kTableComplete) {
        return Fail(ZipErrFormat);
    }

    const std::uint32_t total = literalCount + distanceCount;
    std::uint8_t lengths[kLiteralSymbols + kDistanceSymbols] = {};
    std::uint32_t count = 0;
    std::uint8_t previous = 0;
    // The bit reader is held in locals: kept in the state, it would be stored and
    // loaded again around every symbol. Each symbol starts with the bits of its code
    // (7 at most, all in the root) and its extra bits (7 at most) in the buffer.
    constexpr std::uint32_t kSymbolBits = kCodeLengthBits + 7;
    static_assert(kSymbolBits <= kRefillBits);
    const std::uint8_t* const input = state.InputBuffer.data();
    BitWord bitBuffer = state.BitBuffer;
    std::uint32_t bitCount = state.BitCount;
    std::int32_t position = state.InputPos;
    const auto drop = [&](std::uint32_t bits) {
        bitBuffer >>= bits;
        bitCount -= bits;
    };
    while (count < total) {
        if (bitCount < kSymbolBits) {
            if (state.InputLast + 1 - position >= static_cast<std::int32_t>(sizeof(BitWord))) {
                position +=
                    static_cast<std::int32_t>(RefillBitWord(bitBuffer, bitCount, input + position));
            } else {
                state.BitBuffer = bitBuffer;
                state.BitCount = bitCount;
                state.InputPos = position;
                state.FillBits(kSymbolBits);  // byte by byte, with the next block
                bitBuffer = state.BitBuffer;
                bitCount = state.BitCount;
                position = state.InputPos;
            }
        }
        const EntryWord entry =
            LoadEntryWord(&codeLengths.Entries[bitBuffer & BitMask(kCodeLengthBits)]);
        if (IsInvalidOp(EntryOp(entry))) {
            return Fail(ZipErrFormat);
        }
        drop(EntryBits(entry));
        const std::uint32_t symbol = EntryValue(entry);
        if (symbol < 16) {
            previous = static_cast<std::uint8_t>(symbol);
            lengths[count++] = previous;
            continue;
        }
        // A repeat: 16 repeats the previous length 3 to 6 times, 17 and 18 repeat
        // zero 3 to 10 and 11 to 138 times. One running past the lengths to read
        // gives 1 (16, 17: the run ends without a report) or -4 (18).
        const std::uint32_t extraBits = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
        const std::uint32_t repeat =
            (symbol == 18 ? 11 : 3) + static_cast<std::uint32_t>(bitBuffer & BitMask(extraBits));
        drop(extraBits);
        if (count + repeat > total) {
            return symbol == 18 ? Fail(ZipErrFormat) : kTableIncomplete;
        }
        if (symbol != 16) {
            previous = 0;
        }
        std::fill(lengths + count, lengths + count + repeat, previous);
        count += repeat;
    }
    state.BitBuffer = bitBuffer;
    state.BitCount = bitCount;
    state.InputPos = position;

    if (BuildDecodeTables({lengths, literalCount}, 257, kLengthBase, kLengthExtra, kLiteralRootBits,
                          tables.literal) != kTableComplete) {
        return Fail(ZipErrFormat);
    }
    if (BuildDecodeTables({lengths + literalCount, distanceCount}, 0, kDistanceBase, kDistanceExtra,
                          kDistanceRootBits, tables.distance) > kTableIncomplete) {
        return Fail(ZipErrFormat);
    }
    return 0;
}

}  // namespace setup::zip
