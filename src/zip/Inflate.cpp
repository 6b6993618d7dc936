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
// The codes themselves, fixed or read from a dynamic block's header, come from
// InflateCodes.cpp, with the tricky cases of code lengths.
//
// Tricky cases of the data, and what happens here:
//  - A distance reaching before the first byte of the entry copies zeros, since
//    the window's history starts zeroed.
//  - Matches may reach back into earlier blocks: the window persists across blocks.
//  - Data that ends before the final block gives -3 at the next loop test; looking
//    ahead past the last byte (a lookup needs up to 15 bits) is not an error.
//
// Speed. Most time goes into the literal/length loop, so it runs in two forms. The
// fast loop works while at least eight input bytes (eleven with a 64-bit word) are
// buffered and the output area has room. It keeps buffer, count and positions in
// locals and tops the bit buffer up with one word load (with a 64-bit word to 56
// bits or more, enough for the longest length/distance pair of 48 bits, and again
// before a distance in the rare case that what is left would not cover the next
// look-up as well; a 32-bit word to 24 bits, loaded again before the distance). Its
// speed is the latency of one chain: look the entry up, drop its bits, look the next
// one up. So the next literal/length entry is looked up as soon as the current
// symbol's bits are dropped, before the refill (with a 64-bit word) and before the
// match is copied, which then overlap the table load; an entry is read as one word
// whose low byte is the number of bits it consumes, so that the word itself is the
// shift count; a length or distance entry counts its code and its extra bits
// together, so one shift drops both and the extra value is taken from the bits
// dropped, beside the chain. The literal/length root table is 11 bits wide, which
// leaves about 1 in 700 codes of binaries to a sub-table (1 in 75 with 10 bits,
// each a rare branch taken), the distance root 8, for fixed and dynamic blocks
// alike, so that the masks are constants; with a 64-bit word up to two literals
// are decoded per refill. Matches are copied 16 bytes at a time, the
// first 64 without a test with a 64-bit word, 32 otherwise (the window's slack takes
// the overrun). Near the end of the input, and when the output area is full, a
// symbol-at-a-time loop with byte-wise refills takes over. Both decode the same
// codes with the same checks.
#include <algorithm>
#include <array>

#include "zip/Decoders.h"
#include "zip/InflateCodes.h"

namespace setup::zip {
namespace {

enum class FastResult { NeedSlowPath, EndOfBlock, Invalid };

// The longest length and distance: a code and its extra bits.
constexpr std::uint32_t kLongestLengthBits = kDeflateLongestCode + 5;
constexpr std::uint32_t kLongestDistanceBits = kDeflateLongestCode + 13;

// A 64-bit word holds a whole length/distance pair (at most 48 bits) after one
// refill; a 32-bit word holds the length (20 bits) or the distance code, and is
// refilled between them.
constexpr bool kRefillBeforeDistance = kRefillBits < kLongestLengthBits + kLongestDistanceBits;
static_assert(kRefillBits >= kLongestLengthBits, "a length code and its extra bits");

// A refill after a length (with a 64-bit word, where the bits left are too few
// for the distance and the next look-up) advances by this many bytes at most: at
// least kRefillBits - kLongestLengthBits bits are still buffered.
constexpr std::size_t kAdvanceAfterLength =
    sizeof(BitWord) - 1 - (kRefillBits - kLongestLengthBits) / 8;
// The fast loop decodes a symbol while this many input bytes are buffered. A symbol
// reads no more: with a 64-bit word one load, or after a length a refill that
// advances and a load; with a 32-bit word two loads that advance by 3 bytes at most
// and one byte between them.
constexpr std::size_t kFastInputBytes =
    kRefillBeforeDistance ? 3 + 1 + sizeof(BitWord) : kAdvanceAfterLength + sizeof(BitWord);
static_assert(kFastInputBytes >= sizeof(BitWord));
static_assert(ExtractState::kInputCarry >= kFastInputBytes, "the refill carries them over");
// After a refill and a root literal the next root look-up needs no refill.
static_assert(2 * kLiteralRootBits <= kRefillBits, "a root literal, then a look-up");
// Root literals decoded per refill, with the look-up after the last: one with a
// 32-bit word, two with a 64-bit one. The 64-bit word would hold four, but the loop
// was slower with four or three (measured; its exit is then harder to predict).
constexpr std::uint32_t kLiteralsPerRefill = std::min(2u, kRefillBits / kLiteralRootBits - 1);
static_assert(kLiteralsPerRefill >= 1 &&
              (kLiteralsPerRefill + 1) * kLiteralRootBits <= kRefillBits);

// Built natively on x86-64 Linux with GCC, the fast loop is also compiled for
// processors with BMI2 (shifts by a count in any register, without the flags, and
// BZHI) and chosen on first use. The Windows programs are built for every 32-bit
// processor and for size, so they keep one form (a test build asks for that form
// by defining SETUP_INFLATE_BMI2 as 0).
#ifndef SETUP_INFLATE_BMI2
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define SETUP_INFLATE_BMI2 1
#else
#define SETUP_INFLATE_BMI2 0
#endif
#endif

enum class Isa { Any, Bmi2 };

// The low n bits set, for n below 32.
constexpr std::array<std::uint32_t, 32> kLowBitMasks32 = [] {
    std::array<std::uint32_t, 32> masks{};
    for (std::uint32_t n = 0; n < masks.size(); ++n) {
        masks[n] = (std::uint32_t{1} << n) - 1;
    }
    return masks;
}();

// The bits of a length's or distance's code and extra bits: the low Bits bits of
// `bits`, cut off as BaseValue does, in the way each form of the loop does best.
// With BMI2 one BZHI: GCC 12 builds the mask with three instructions instead, even
// for BMI2, and a match takes two (binaries decode about 2 % faster with BZHI).
// With a 32-bit word (the Windows build) the mask comes from a table: built with a
// shift it would need ECX in a loop already short of registers (text decodes about
// 3 % faster under Wine).
template <Isa kIsa>
[[gnu::always_inline]] inline BitWord CodeAndExtraBits(EntryWord entry, BitWord bits) {
#if SETUP_INFLATE_BMI2
    if constexpr (kIsa == Isa::Bmi2 && sizeof(BitWord) == 8) {
        // BZHI reads the count from the low byte of its register: the entry's Bits.
        BitWord low;
        asm("bzhi %q2, %1, %0" : "=r"(low) : "r"(bits), "r"(entry));
        return low;
    }
#endif
    if constexpr (sizeof(BitWord) == 4) {
        return bits & kLowBitMasks32[EntryBits(entry) & 31];
    }
    return bits & ((BitWord{1} << EntryBits(entry)) - 1);
}

// A length's or distance's value from the bits its entry was looked up with.
template <Isa kIsa>
[[gnu::always_inline]] inline std::size_t MatchValue(EntryWord entry, BitWord bits) {
    return std::size_t{EntryValue(entry)} + (CodeAndExtraBits<kIsa>(entry, bits) >> EntryOp(entry));
}

// Decodes symbols while kFastInputBytes input bytes and room in the output area
// remain. The next literal/length entry is looked up as soon as the bits of the
// current symbol are dropped, before the refill and the match copy, so that the
// table load overlaps them: the loop's speed is the latency of that chain.
template <Isa kIsa>
[[gnu::always_inline]] inline FastResult DecodeFastFor(ExtractState& state,
                                                       const BlockTables& tables) {
    const HuffEntry* const literals = tables.literal.Entries.data();
    const HuffEntry* const distances = tables.distance.Entries.data();
    // Both roots have fixed widths (CodeAlphabets.h): masks of constants leave the
    // registers to the loop's state.
    constexpr std::uint32_t literalRoot = kLiteralRootBits;
    constexpr std::uint32_t distanceRoot = kDistanceRootBits;
    constexpr BitWord literalMask = BitMask(literalRoot);
    constexpr BitWord distanceMask = BitMask(distanceRoot);

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
    // Only the low byte of bitCount is kept exact: dropping an entry's bits
    // subtracts the whole entry word, whose Bits byte is the low one, which saves
    // isolating the byte. The low byte never borrows, since the bits are there, and
    // what the upper bytes borrow nobody reads.
    constexpr std::uint32_t kCountMask = kBitWordBits - 1;
    const auto bitsHeld = [&] { return static_cast<std::uint8_t>(bitCount); };
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
        const std::size_t length = MatchValue<kIsa>(entry, bitBuffer);
        dropEntry(entry);

        if constexpr (kRefillBeforeDistance) {
            refill();
        }
        entry = LoadEntryWord(distances + (bitBuffer & distanceMask));
        if constexpr (!kRefillBeforeDistance) {
            // Enough bits for the longest distance and the next look-up, so that the
            // look-up can follow the distance's shift at once; usually there are.
            if (bitsHeld() < kLongestDistanceBits + literalRoot) {
                refill();
            }
        }
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
            if (bitsHeld() < EntryBits(entry)) {
                bitBuffer |= static_cast<BitWord>(*in++) << (bitCount & kCountMask);
                bitCount += 8;
            }
        }
        const std::size_t distance = MatchValue<kIsa>(entry, bitBuffer);
        dropEntry(entry);
        if constexpr (kRefillBeforeDistance) {
            refill();
        }
        entry = LoadEntryWord(literals + (bitBuffer & literalMask));
        if constexpr (!kRefillBeforeDistance) {
            refill();  // for the next symbol, off the chain: the looked-up bits stay
        }
        CopyMatch(out, distance, length);
        out += length;
    }

    state.WindowPos = static_cast<std::size_t>(out - window);
    state.InputPos = static_cast<std::int32_t>(in - input);
    state.BitBuffer = bitBuffer;
    state.BitCount = bitCount & kCountMask;
    return result;
}

#if SETUP_INFLATE_BMI2
__attribute__((target("bmi2"))) FastResult DecodeFastBmi2(ExtractState& state,
                                                          const BlockTables& tables) {
    return DecodeFastFor<Isa::Bmi2>(state, tables);
}

FastResult DecodeFastAny(ExtractState& state, const BlockTables& tables) {
    return DecodeFastFor<Isa::Any>(state, tables);
}

FastResult DecodeFast(ExtractState& state, const BlockTables& tables) {
    static const bool bmi2 = __builtin_cpu_supports("bmi2");
    return bmi2 ? DecodeFastBmi2(state, tables) : DecodeFastAny(state, tables);
}
#else
FastResult DecodeFast(ExtractState& state, const BlockTables& tables) {
    return DecodeFastFor<Isa::Any>(state, tables);
}
#endif

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
    const BlockTables* fixed = nullptr;
    if (const std::int32_t result = FixedCodes(fixed); result != 0) {
        return result;
    }
    return DecodeBlockSymbols(state, *fixed);
}

std::int32_t DynamicBlock(ExtractState& state, BlockTables& tables) {
    if (const std::int32_t result = ReadDynamicCodes(state, tables); result != 0) {
        return result;
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
