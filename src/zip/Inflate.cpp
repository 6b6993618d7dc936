// Inflate: decoding ZIP method 8, the DEFLATE format of RFC 1951.
//
// A deflate stream is a sequence of blocks, each starting with three bits: the
// final-block flag and the block type. Type 0 stores bytes as they are: the reader
// skips to a byte boundary and reads LEN and its one's complement NLEN (16 bits
// each), then LEN raw bytes. Types 1 and 2 code literals and matches with two
// prefix codes: one alphabet for literal bytes (0..255), the end of the block (256)
// and match lengths (257..285, each a base length plus extra bits), and one for
// match distances (0..29, base plus extra bits). A match copies `length` bytes
// starting `distance` bytes back in the output, which may overlap the bytes it is
// producing (distance 1, length 258 repeats one byte 258 times). Type 1 uses fixed
// codes given by the RFC; type 2 sends its codes as code lengths, themselves
// run-length coded (symbols 16, 17, 18 repeat the previous length or zeros) and
// prefix coded with a third, small code whose lengths come first, 3 bits each, in
// a fixed order. Type 3 does not exist.
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
//  - A distance reaching before the first byte of the entry copies zeros, since
//    the window's history starts zeroed.
//  - Matches may reach back into earlier blocks: the window persists across blocks.
//  - Data that ends before the final block gives -3 at the next loop test; looking
//    ahead past the last byte (a lookup needs up to 15 bits) is not an error.
//
// Speed. Most time goes into the literal/length loop, so it runs in two forms. The
// fast loop works while at least eight input bytes are buffered and the output
// area has room. It keeps buffer, count and positions in locals and tops the bit
// buffer up with one word load (with a 64-bit word to 56 bits or more, enough for
// the longest length/distance pair of 48 bits; a 32-bit word to 24 bits, loaded
// again before the distance). Its speed is the latency of one chain: look the
// entry up, drop its bits, look the next one up. So the next literal/length entry
// is looked up as soon as the current symbol's bits are dropped, before the refill
// and before the match is copied, which then overlap the table load; an entry is
// read as one word whose low byte is the number of bits it consumes, so that the
// word itself is the shift count; a length or distance entry counts its code and
// its extra bits together, so one shift drops both and the extra value is taken
// from the bits dropped, beside the chain. The literal/length root table is 10 bits wide,
// which leaves few literals of binaries to a sub-table, the distance root 8, for
// fixed and dynamic blocks alike, so that the masks are constants; with a 64-bit
// word up to four literals are decoded per refill. Matches are copied 16 bytes at
// a time, the first 32 without a test (the window's slack takes the overrun).
// Near the end of the input, and when the output area is full, a symbol-at-a-time
// loop with byte-wise refills takes over. Both decode the same codes with the same
// checks.
#include <algorithm>

#include "zip/CodeAlphabets.h"
#include "zip/Decoders.h"

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

constexpr std::uint32_t Mask(std::uint32_t bits) {
    return (1u << bits) - 1;
}

// The code-length code is built into the literal table, which is free until the
// literal code is read.
static_assert(kLiteralTableEntries >= std::size_t{1} << kCodeLengthBits);

struct BlockTables {
    DecodeTable<kLiteralTableEntries> literal;
    DecodeTable<kDistanceTableEntries> distance;
};

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

enum class FastResult { NeedSlowPath, EndOfBlock, Invalid };

// The fast loop decodes a symbol while this many input bytes are buffered. A symbol
// reads no more: one word load, or with a 32-bit word two loads that advance by 3
// bytes at most and one byte between them.
constexpr std::size_t kFastInputBytes = 8;
static_assert(kFastInputBytes >= sizeof(BitWord) && kFastInputBytes >= 3 + 1 + 4);
static_assert(ExtractState::kInputCarry >= kFastInputBytes, "the refill carries them over");

// A 64-bit word holds a whole length/distance pair (at most 48 bits) after one
// refill; a 32-bit word holds the length (20 bits) or the distance code, and is
// refilled between them.
constexpr bool kRefillBeforeDistance = kRefillBits < 48;
static_assert(kRefillBits >= kDeflateLongestCode + 5, "a length code and its extra bits");
// After a refill and a root literal the next root look-up needs no refill.
static_assert(2 * kLiteralRootBits <= kRefillBits, "a root literal, then a look-up");
// Root literals decoded per refill, with the look-up after the last: one with a
// 32-bit word, four with a 64-bit one.
constexpr std::uint32_t kLiteralsPerRefill = kRefillBits / kLiteralRootBits - 1;
static_assert(kLiteralsPerRefill >= 1);

// Built natively on x86-64 Linux, the fast loop is also compiled for processors
// with BMI2 (shifts by a count in any register, without the flags) and chosen when
// the program starts. The Windows programs are built for every 32-bit processor and
// for size, so they keep one form.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define SETUP_INFLATE_CLONES __attribute__((target_clones("bmi2", "default")))
#else
#define SETUP_INFLATE_CLONES
#endif

// Decodes symbols while kFastInputBytes input bytes and room in the output area
// remain. The next literal/length entry is looked up as soon as the bits of the
// current symbol are dropped, before the refill and the match copy, so that the
// table load overlaps them: the loop's speed is the latency of that chain.
SETUP_INFLATE_CLONES FastResult DecodeFast(ExtractState& state, const BlockTables& tables) {
    const HuffEntry* const literals = tables.literal.Entries.data();
    const HuffEntry* const distances = tables.distance.Entries.data();
    // Both roots have fixed widths (CodeAlphabets.h): masks of constants leave the
    // registers to the loop's state.
    constexpr std::uint32_t literalRoot = kLiteralRootBits;
    constexpr std::uint32_t distanceRoot = kDistanceRootBits;
    constexpr BitWord literalMask = Mask(literalRoot);
    constexpr BitWord distanceMask = Mask(distanceRoot);

    std::uint8_t* const window = state.Window;
    std::uint8_t* out = window + state.WindowPos;
    std::uint8_t* const outEnd = window + ExtractState::kOutputEnd;
    const std::uint8_t* const input = state.InputBuffer.data();
    const std::uint8_t* in = input + state.InputPos;
    const std::size_t available = state.InputAvailable();
    if (available < kFastInputBytes || out >= outEnd) {
        return FastResult::NeedSlowPath;
    }
    const std::uint8_t* const inEnd = in + (available - kFastInputBytes);
    BitWord bitBuffer = state.BitBuffer;
    std::uint32_t bitCount = state.BitCount;
    FastResult result = FastResult::NeedSlowPath;
    // Only the low bits of bitCount below kBitWordBits are kept exact: dropping an
    // entry's bits subtracts the whole entry word, whose Bits byte is the low one
    // (the borrow only reaches bits nobody reads), which saves isolating the byte.
    constexpr std::uint32_t kCountMask = kBitWordBits - 1;
    const auto refill = [&] {
        bitBuffer |= LoadBitWord(in) << (bitCount & kCountMask);
        in += sizeof(BitWord) - 1 - ((bitCount >> 3) & (sizeof(BitWord) - 1));
        bitCount |= kRefillBits;
    };
    const auto drop = [&](std::uint32_t bits) {
        bitBuffer >>= bits;
        bitCount -= bits;
    };
    const auto dropEntry = [&](EntryWord entry) {
        bitBuffer >>= static_cast<std::uint8_t>(entry);
        bitCount -= entry;
    };

    refill();
    EntryWord entry = LoadEntryWord(literals + (bitBuffer & literalMask));
    // At the top of the loop bitCount >= kRefillBits and `entry` is the look-up of
    // the buffer's low bits, not yet consumed; leaving the loop consumes nothing.
    while (in <= inEnd && out < outEnd) {
        if (IsLiteralEntry(entry)) {
            // The output area's slack takes the literals past its end.
            std::uint32_t literalsLeft = kLiteralsPerRefill;
            do {
                *out++ = static_cast<std::uint8_t>(EntryValue(entry));
                dropEntry(entry);
                entry = LoadEntryWord(literals + (bitBuffer & literalMask));
            } while (--literalsLeft != 0 && IsLiteralEntry(entry));
            refill();
            continue;
        }
        if (EntryOp(entry) >= kOpEndOfBlock) {
            // Rare: a link, the end of the block, or an invalid code.
            if (IsLinkOp(EntryOp(entry))) {
                drop(literalRoot);
                entry = FollowLink(literals, entry, static_cast<std::uint32_t>(bitBuffer));
                if (IsLiteralEntry(entry)) {
                    dropEntry(entry);
                    refill();
                    *out++ = static_cast<std::uint8_t>(EntryValue(entry));
                    entry = LoadEntryWord(literals + (bitBuffer & literalMask));
                    continue;
                }
            }
            if (IsInvalidOp(EntryOp(entry))) {
                result = FastResult::Invalid;
                break;
            }
            if (EntryOp(entry) == kOpEndOfBlock) {
                dropEntry(entry);
                result = FastResult::EndOfBlock;
                break;
            }
        }
        // A length: its code and extra bits go with one shift, the extra value is
        // taken from the bits dropped, off the look-up chain.
        const std::size_t length = BaseValue(entry, bitBuffer);
        dropEntry(entry);

        if constexpr (kRefillBeforeDistance) {
            refill();
        }
        entry = LoadEntryWord(distances + (bitBuffer & distanceMask));
        if (!IsBaseOp(EntryOp(entry))) {
            if (IsLinkOp(EntryOp(entry))) {
                drop(distanceRoot);
                entry = FollowLink(distances, entry, static_cast<std::uint32_t>(bitBuffer));
            }
            if (IsInvalidOp(EntryOp(entry))) {
                result = FastResult::Invalid;
                break;
            }
        }
        if constexpr (kRefillBeforeDistance) {
            // After a link 16 bits or more are left; a sub-table's code with 13
            // extra bits may need a byte more.
            if ((bitCount & kCountMask) < EntryBits(entry)) {
                bitBuffer |= static_cast<BitWord>(*in++) << (bitCount & kCountMask);
                bitCount += 8;
            }
        }
        const std::size_t distance = BaseValue(entry, bitBuffer);
        dropEntry(entry);
        refill();
        entry = LoadEntryWord(literals + (bitBuffer & literalMask));
        CopyMatch(out, distance, length);
        out += length;
    }

    state.WindowPos = static_cast<std::size_t>(out - window);
    state.InputPos = static_cast<std::int32_t>(in - input);
    state.BitBuffer = bitBuffer;
    state.BitCount = bitCount & kCountMask;
    return result;
}

// Decodes one symbol with byte-wise refills: 0 to go on, 1 at the end of the block,
// or an error code.
std::int32_t DecodeSlow(ExtractState& state, const BlockTables& tables) {
    HuffEntry entry = DecodeSymbol<false>(state, tables.literal);
    if (entry.Op == kOpLiteral) {
        state.Window[state.WindowPos++] = static_cast<std::uint8_t>(entry.Value);
        return 0;
    }
    if (entry.Op == kOpEndOfBlock) {
        return 1;
    }
    if (IsInvalid(entry)) {
        return Fail(ZipErrFormat);
    }
    const std::size_t length = entry.Value + state.ReadBits(entry.Op);
    entry = DecodeSymbol<false>(state, tables.distance);
    if (IsInvalid(entry)) {
        return Fail(ZipErrFormat);
    }
    const std::size_t distance = entry.Value + state.ReadBits(entry.Op);
    CopyMatch(state.Window, state.WindowPos, distance, length);
    state.WindowPos += length;
    return 0;
}

// The symbols of one compressed block, up to and including its end code.
std::int32_t DecodeBlockSymbols(ExtractState& state, const BlockTables& tables) {
    for (;;) {
        if (const std::int32_t stop = state.GuardStep(); stop != 0) {
            return Fail(stop);
        }
        if (state.InputAvailable() < kFastInputBytes && !state.InputEnded) {
            state.RefillInput();
            continue;
        }
        const FastResult fast = DecodeFast(state, tables);
        if (fast == FastResult::EndOfBlock) {
            return 0;
        }
        if (fast == FastResult::Invalid) {
            return Fail(ZipErrFormat);
        }
        if (state.InputAvailable() < kFastInputBytes && state.InputEnded &&
            state.WindowPos < ExtractState::kOutputEnd) {
            const std::int32_t result = DecodeSlow(state, tables);
            if (result != 0) {
                return result == 1 ? 0 : result;
            }
        }
    }
}

std::int32_t StoredBlock(ExtractState& state) {
    state.AlignToByte();
    const std::uint32_t length = state.ReadBits(16);
    const std::uint32_t complement = state.ReadBits(16);
    if (state.InputExhausted()) {
        return Fail(ZipErrRead);
    }
    if (length != (~complement & 0xFFFF)) {
        return Fail(ZipErrFormat);
    }
    state.BitBuffer &= (BitWord{1} << state.BitCount) - 1;
    std::uint32_t left = length;
    while (left > 0) {
        if (const std::int32_t stop = state.GuardStep(); stop != 0) {
            return Fail(stop);
        }
        if (state.BitCount >= 8) {
            // Whole bytes still in the bit buffer come first.
            state.Window[state.WindowPos++] = static_cast<std::uint8_t>(state.BitBuffer);
            state.DropBits(8);
            --left;
            continue;
        }
        if (state.InputAvailable() == 0) {
            if (state.InputEnded) {
                // Past the end: take a padding byte, so the exhaustion check fires.
                state.Window[state.WindowPos++] = state.ReadByte();
                --left;
            } else {
                state.RefillInput();
            }
            continue;
        }
        const std::size_t chunk = std::min({static_cast<std::size_t>(left), state.InputAvailable(),
                                            ExtractState::kOutputEnd - state.WindowPos});
        std::memcpy(state.Window + state.WindowPos,
                    &state.InputBuffer[static_cast<std::size_t>(state.InputPos)], chunk);
        state.WindowPos += chunk;
        state.InputPos += static_cast<std::int32_t>(chunk);
        left -= static_cast<std::uint32_t>(chunk);
    }
    if (state.AbortRequested) {
        return Fail(ZipErrAborted);
    }
    if (state.InputExhausted()) {
        return Fail(ZipErrRead);
    }
    return 0;
}

std::int32_t FixedBlock(ExtractState& state) {
    static const FixedTables fixed;
    if (fixed.literalResult != kTableComplete) {
        return fixed.literalResult;
    }
    if (fixed.distanceResult > kTableIncomplete) {
        return Fail(ZipErrFormat);
    }
    return DecodeBlockSymbols(state, fixed.tables);
}

std::int32_t DynamicBlock(ExtractState& state, BlockTables& tables) {
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
            if (state.InputLast + 1 - position >= static_cast<std::int32_t>(kFastInputBytes)) {
                bitBuffer |= LoadBitWord(input + position) << bitCount;
                position += static_cast<std::int32_t>((kBitWordBits - 1 - bitCount) >> 3);
                bitCount |= kRefillBits;
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
            LoadEntryWord(&codeLengths.Entries[bitBuffer & Mask(kCodeLengthBits)]);
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
            (symbol == 18 ? 11 : 3) + static_cast<std::uint32_t>(bitBuffer & Mask(extraBits));
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
    return DecodeBlockSymbols(state, tables);
}

}  // namespace

std::int32_t InflateEntry(ExtractState& state) {
    state.ResetInput();
    state.ResetWindow();
    BlockTables dynamicTables;
    for (;;) {
        const std::uint32_t header = state.ReadBits(3);
        if (state.InputExhausted()) {
            return Fail(ZipErrRead);  // the data ended before the final block
        }
        std::int32_t result = 0;
        switch (header >> 1) {
            case 0:
                result = StoredBlock(state);
                break;
            case 1:
                result = FixedBlock(state);
                break;
            case 2:
                result = DynamicBlock(state, dynamicTables);
                break;
            default:
                result = Fail(ZipErrFormat);
                break;
        }
        if (result != 0) {
            return result;
        }
        if ((header & 1) != 0) {
            if (state.InputExhausted()) {
                return Fail(ZipErrRead);  // the last codes needed bits past the end
            }
            if (!state.FlushFullWindow() || !state.FlushWindowRest()) {
                return Fail(ZipErrWrite);
            }
            return 0;
        }
    }
}

}  // namespace setup::zip
