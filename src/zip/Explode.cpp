// Explode: decoding ZIP method 6 ("imploded").
//
// Imploding is LZ77 with a sliding dictionary of 4 KB or 8 KB (general-purpose
// flag bit 1) and Shannon-Fano coded symbols. The data starts with two or three
// code descriptions: a literal tree of 256 symbols when flag bit 2 is set, then a
// length tree and a distance tree of 64 symbols each. A description is byte
// aligned and run-length coded: one byte giving the number of following bytes
// minus one, then bytes whose low nibble is a code length minus one and whose high
// nibble is a repeat count minus one. The codes are canonical (as in deflate) but
// every bit is stored inverted, so the table lookups use the complemented bits.
//
// Then, until the uncompressed size is produced, one flag bit per item: 1 is a
// literal (a literal tree symbol, or 8 plain bits without a literal tree), 0 is a
// match: the low 6 (4 KB) or 7 (8 KB) distance bits in plain, the distance tree
// symbol giving the high part, then the length tree symbol; length symbol 63 is
// followed by 8 plain bits added to its base. Base lengths start at 3 with a
// literal tree and at 2 without; the distance is base + low bits.
//
// Tricky cases, and what happens here:
//  - A match reaching before the start of the output copies zeros: the window's
//    history starts zeroed, and matches reach back at most 8,192 bytes.
//  - A match is copied whole, even past the uncompressed size; the loop then ends.
//  - Tree descriptions that describe too many or too few symbols, and trees that
//    are incomplete or over-subscribed, are invalid (-4). A single code of one bit
//    is accepted, its unused partner decodes as invalid.
//  - The distance tree's root table is 8 bits wide for entries of more than
//    200,000 compressed bytes, 7 otherwise; literal 9, length 7.
//  - Input that runs out ends the loop; what was decoded is flushed, then -3.
#include "zip/CodeAlphabets.h"
#include "zip/Decoders.h"

namespace setup::zip {
namespace {

constexpr std::int32_t kLargeEntry = 200000;

struct ImplodeTables {
    std::uint16_t lengthWithLiterals[64];
    std::uint16_t lengthWithoutLiterals[64];
    std::uint16_t distance4k[64];
    std::uint16_t distance8k[64];
    std::uint8_t extra[64];
    constexpr ImplodeTables()
        : lengthWithLiterals(), lengthWithoutLiterals(), distance4k(), distance8k(), extra() {
        for (int i = 0; i < 64; ++i) {
            lengthWithLiterals[i] = static_cast<std::uint16_t>(3 + i);
            lengthWithoutLiterals[i] = static_cast<std::uint16_t>(2 + i);
            distance4k[i] = static_cast<std::uint16_t>(1 + 64 * i);
            distance8k[i] = static_cast<std::uint16_t>(1 + 128 * i);
            extra[i] = i == 63 ? 8 : 0;
        }
    }
};
constexpr ImplodeTables kImplode;

template <std::size_t kCapacity>
std::int32_t ReadTree(ExtractState& state, std::span<std::uint8_t> lengths,
                      const std::uint16_t* base, std::uint32_t bits,
                      DecodeTable<kCapacity>& table) {
    if (ReadByteTree(state, lengths) != 0) {
        return Fail(ZipErrFormat);
    }
    const std::uint32_t simple = base == nullptr ? 256 : 0;
    if (BuildDecodeTables(lengths, simple, base, kImplode.extra, bits, table) != kTableComplete) {
        return Fail(ZipErrFormat);
    }
    return 0;
}

}  // namespace

int ReadByteTree(ExtractState& state, std::span<std::uint8_t> lengths) {
    const std::size_t bytes = state.ReadByte() + 1u;
    std::size_t filled = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        const std::uint8_t byte = state.ReadByte();
        const std::size_t repeat = (byte >> 4) + 1u;
        if (filled + repeat > lengths.size()) {
            return kByteTreeInvalid;
        }
        for (std::size_t k = 0; k < repeat; ++k) {
            lengths[filled++] = static_cast<std::uint8_t>((byte & 15) + 1);
        }
    }
    return filled == lengths.size() ? 0 : kByteTreeInvalid;
}

std::int32_t ExplodeEntry(ExtractState& state) {
    state.ResetInput();
    const bool literalTree = (state.EntryFlags & 4) != 0;
    const bool largeDictionary = (state.EntryFlags & 2) != 0;
    const std::uint32_t lowDistanceBits = largeDictionary ? 7 : 6;

    DecodeTable<kImplodeLiteralEntries> literals;
    DecodeTable<kImplodeTreeEntries> lengths;
    DecodeTable<kImplodeTreeEntries> distances;
    std::uint8_t codeLengths[kImplodeLiteralSymbols];
    std::int32_t result = 0;
    if (literalTree) {
        result = ReadTree(state, codeLengths, nullptr, kImplodeLiteralBits, literals);
    }
    if (result == 0) {
        result =
            ReadTree(state, {codeLengths, kImplodeTreeSymbols},
                     literalTree ? kImplode.lengthWithLiterals : kImplode.lengthWithoutLiterals,
                     kImplodeLengthBits, lengths);
    }
    if (result == 0) {
        result = ReadTree(state, {codeLengths, kImplodeTreeSymbols},
                          largeDictionary ? kImplode.distance8k : kImplode.distance4k,
                          state.EntryCompressedSize > kLargeEntry ? kImplodeLargeDistanceBits
                                                                  : kImplodeSmallDistanceBits,
                          distances);
    }
    if (result != 0) {
        return result;
    }

    // The trees were read byte by byte; the bit reader starts afresh.
    state.BitBuffer = 0;
    state.BitCount = 0;
    state.ResetWindow();
    std::int64_t remaining = state.EntrySize;
    while (remaining > 0) {
        const std::int32_t stop = state.GuardStep();
        if (stop == ZipErrRead) {
            break;  // what was decoded is flushed, then -3
        }
        if (stop != 0) {
            return Fail(stop);
        }
        if (state.ReadBits(1) != 0) {
            std::uint8_t byte = 0;
            if (literalTree) {
                const HuffEntry entry = DecodeSymbol<true>(state, literals);
                if (IsInvalid(entry)) {
                    return Fail(ZipErrFormat);
                }
                byte = static_cast<std::uint8_t>(entry.Value);
            } else {
                byte = static_cast<std::uint8_t>(state.ReadBits(8));
            }
            state.Window[state.WindowPos++] = byte;
            --remaining;
            continue;
        }
        const std::uint32_t low = state.ReadBits(lowDistanceBits);
        HuffEntry entry = DecodeSymbol<true>(state, distances);
        if (IsInvalid(entry)) {
            return Fail(ZipErrFormat);
        }
        const std::size_t distance = entry.Value + low;
        entry = DecodeSymbol<true>(state, lengths);
        if (IsInvalid(entry)) {
            return Fail(ZipErrFormat);
        }
        std::size_t length = entry.Value;
        if (entry.Op != 0) {
            length += state.ReadBits(8);
        }
        CopyMatch(state.Window, state.WindowPos, distance, length);
        state.WindowPos += length;
        remaining -= static_cast<std::int64_t>(length);
    }
    if (state.AbortRequested) {
        return Fail(ZipErrAborted);
    }
    if (!state.FlushFullWindow() || !state.FlushWindowRest()) {
        return Fail(ZipErrWrite);
    }
    return state.InputExhausted() ? Fail(ZipErrRead) : 0;
}

}  // namespace setup::zip
