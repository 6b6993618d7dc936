// The machinery every decoder shares while one entry is extracted: the input
// buffer with its bit reader, the output window with its flush (write, CRC-32,
// progress report), the progress percentage with the user's means to abort, and the
// message pump that keeps the window responsive.
//
// Input. Compressed data is read in whole blocks of 4,096 bytes, the last one also
// past the entry's data; the decoder sees only the entry's bytes. The progress
// percentage is that of the bytes read, computed before each read; once a read went
// more than two bytes past the entry's data, the data is used up without another
// one, so an entry read whole by its first block never checks for abort. Bits are
// taken least significant first from a buffer of the machine's word: 64 bits
// natively, 32 bits in the 32-bit Windows build, where a 64-bit buffer would take
// two of its seven registers and turn every shift into a pair. Where at least eight
// bytes are buffered the reader loads a whole word at once and tops the buffer up to
// kRefillBits (56 or 24) to one bit less than the word; the few bits above BitCount
// it may then hold are the true next bits of the stream, so a later byte-wise refill
// ORs identical bits over them. Unconsumed bytes are carried to the front of the
// buffer at each refill so that word loads work across block boundaries. Past the
// end of the data the reader delivers zero bytes and counts them; InputExhausted()
// becomes true only once such a padding bit has actually been consumed. A decoder
// may therefore look ahead past the last byte (as a prefix-code lookup must) without
// failing, yet every loop that keeps reading zeros stops at its next check.
//
// Output. The window is one linear buffer: 32 KB of history, then the 32 KB output
// area, then slack. Matches never wrap: their source is at most 32 KB behind the
// write position, and the write position never drops below the output area. When
// the output area is full it is flushed in one 32,768-byte write and the window
// slides on by 32 KB. The window lies in a larger storage (kWindowStorage), so a
// slide mostly just moves the window's start: the history is the output just
// flushed, already in place. Only at the storage's end are the history and what
// lies beyond the output area moved down to its front, once per seven flushes
// rather than at every flush; an entry of up to 224 KB is never moved at all.
// The history starts zeroed, so a distance reaching before the first byte of the
// entry copies zeros. The slack takes the tail of a match that crosses the end of
// the output area and the overrun of word-wise copies.
// Extraction makes a state per entry; the storage outlives it as the spare of the
// next state, with its front zeroed again where an entry moved output there, so
// that a run of small files neither allocates nor clears 32 KB for each one.
//
// The state carries no operating system of its own: the archive and the target are
// platform::File objects and the pump, clock and key check are optional, so every
// decoder can be driven from memory (tests, fuzzing).
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>

#include "platform/Os.h"
#include "zip/ZipTypes.h"

namespace setup::zip {

inline constexpr std::size_t kInputBlockSize = 4096;

// The bit buffer's word. SETUP_ZIP_BIT_WORD_32 forces 32 bits on a 64-bit host,
// so that the 32-bit reader can be tested and fuzzed natively.
#ifdef SETUP_ZIP_BIT_WORD_32
using BitWord = std::uint32_t;
#else
using BitWord = std::uintptr_t;
#endif
static_assert(sizeof(BitWord) == 4 || sizeof(BitWord) == 8);
inline constexpr std::uint32_t kBitWordBits = 8 * sizeof(BitWord);
// The fewest bits a word load leaves in the buffer.
inline constexpr std::uint32_t kRefillBits = kBitWordBits - 8;

// The next sizeof(BitWord) bytes, the first one least significant.
inline BitWord LoadBitWord(const std::uint8_t* bytes) {
    BitWord word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        if constexpr (sizeof word == 8) {
            word = __builtin_bswap64(word);
        } else {
            word = __builtin_bswap32(word);
        }
    }
    return word;
}
// Tops `buffer`, holding `count` bits, up with the word at `bytes` (at least
// sizeof(BitWord) of them readable): `count` becomes kRefillBits..kBitWordBits - 1.
// The bytes taken, whole ones only. Bits the word puts above the new count are the
// stream's true next bits, which a later refill ORs over again unchanged.
inline std::uint32_t RefillBitWord(BitWord& buffer, std::uint32_t& count,
                                   const std::uint8_t* bytes) {
    buffer |= LoadBitWord(bytes) << count;
    const std::uint32_t taken = (kBitWordBits - 1 - count) >> 3;
    count |= kRefillBits;
    return taken;
}
inline constexpr std::size_t kWindowSize = 32768;
// Sizes of 0x7FFFFFFF mean "unknown" (an entry whose sizes follow its data).
inline constexpr std::int32_t kUnknownSize = 0x7FFFFFFF;
// Virtual key code of Escape, the abort key of extraction runs.
inline constexpr std::int32_t kEscapeKey = 27;

// Takes the place of a progress window: receives the control identifier and the
// percentage, and aborts the entry by setting the percentage to 0xFFFF.
using ZipProgressWindow = std::function<void(std::int32_t id, std::uint16_t& percent)>;

struct ExtractState {
    ExtractState();
    ~ExtractState();
    ExtractState(const ExtractState&) = delete;
    ExtractState& operator=(const ExtractState&) = delete;

    // --- Connections (set by whoever drives the decoder) ---
    platform::File* Archive = nullptr;          // positioned at the entry's data
    platform::File* Target = nullptr;           // none: output is checked, not written
    platform::MessageThread* Thread = nullptr;  // none: no pump, no key check
    platform::SystemInfo* Clock = nullptr;      // none: LastPumpTime is not kept
    std::uint32_t* LastPumpTime = nullptr;      // the extractor's shared pump time
    const ZipReportHandler* Report = nullptr;   // handler in force for progress reports
    ZipReport* Record = nullptr;                // the record handed to it
    const ZipProgressWindow* ProgressWindow = nullptr;
    std::int32_t ProgressId = 0;  // without a window: the virtual key that aborts

    // --- The entry ---
    std::int32_t EntryCompressedSize = 0;
    std::int32_t EntrySize = 0;
    std::uint16_t EntryFlags = 0;
    std::int64_t BytesConsumed = 0;  // compressed bytes read from the archive
    std::uint32_t RunningCrc = 0xFFFFFFFF;
    std::int32_t LastPercent = 0;
    bool AbortRequested = false;

    // --- Input buffer and bit reader ---
    // Room for bytes carried over: fewer than inflate's fast loop needs.
    static constexpr std::size_t kInputCarry = 2 * sizeof(BitWord);
    std::array<std::uint8_t, kInputCarry + kInputBlockSize + 8> InputBuffer{};
    std::int32_t InputPos = 0;        // next byte to deliver
    std::int32_t InputLast = -1;      // last valid byte; -1: empty
    bool InputEnded = false;          // the entry's data (or the file) has no more bytes
    std::int64_t PaddingFetched = 0;  // zero bytes delivered past the end
    BitWord BitBuffer = 0;
    std::uint32_t BitCount = 0;

    // --- Output window ---
    static constexpr std::size_t kOutputStart = kWindowSize;
    static constexpr std::size_t kOutputEnd = 2 * kWindowSize;
    static constexpr std::size_t kWindowSlack = 1024;
    // The window and the room it slides through before it is moved back.
    static constexpr std::size_t kWindowStorage = kOutputEnd + kWindowSlack + 7 * kWindowSize;
    std::unique_ptr<std::uint8_t[]> WindowStorage;
    std::uint8_t* Window = nullptr;  // inside WindowStorage
    std::size_t WindowPos = kOutputStart;
    bool HistoryDirty = true;  // the storage's first 32 KB hold bytes other than zeros

    // Prepares the state for a new entry read from `archive`: counters, CRC and
    // flags reset, history zeroed (unless it still is), input empty.
    void BeginEntry(std::int32_t compressedSize, std::int32_t size, std::uint16_t flags);

    // Empties the input and the bit reader (the start of every decoder).
    void ResetInput();
    // Reads the next block of compressed data behind the unconsumed bytes.
    void RefillInput();
    bool InputExhausted() const { return PaddingFetched * 8 > static_cast<std::int64_t>(BitCount); }
    std::size_t InputAvailable() const {
        return static_cast<std::size_t>(InputLast + 1 - InputPos);
    }

    std::uint8_t ReadByte() {
        if (InputPos > InputLast) {
            RefillInput();
            if (InputPos > InputLast) {
                ++PaddingFetched;
                return 0;
            }
        }
        return InputBuffer[static_cast<std::size_t>(InputPos++)];
    }

    // Loads a word: BitCount becomes kRefillBits..kBitWordBits - 1. Needs
    // InputAvailable() >= 8.
    void FillBitsWord() {
        InputPos += static_cast<std::int32_t>(
            RefillBitWord(BitBuffer, BitCount, &InputBuffer[static_cast<std::size_t>(InputPos)]));
    }

    // Ensures BitCount >= n (n at most kRefillBits).
    void FillBits(std::uint32_t n) {
        if (BitCount >= n) {
            return;
        }
        if (InputAvailable() >= 8) {
            FillBitsWord();
            return;
        }
        while (BitCount < n) {
            BitBuffer |= static_cast<BitWord>(ReadByte()) << BitCount;
            BitCount += 8;
        }
    }
    std::uint32_t PeekBits(std::uint32_t n) const {
        return static_cast<std::uint32_t>(BitBuffer & ((BitWord{1} << n) - 1));
    }
    // The low 32 bits of the buffer, valid or not (for table lookups).
    std::uint32_t PeekWord() const { return static_cast<std::uint32_t>(BitBuffer); }
    void DropBits(std::uint32_t n) {
        BitBuffer >>= n;
        BitCount -= n;
    }
    std::uint32_t ReadBits(std::uint32_t n) {
        FillBits(n);
        const std::uint32_t value = PeekBits(n);
        DropBits(n);
        return value;
    }
    // Drops the bits up to the next byte boundary and forgets the look-ahead above
    // BitCount, so that bytes can be taken straight from InputBuffer.
    void AlignToByte() {
        DropBits(BitCount % 8);
        BitBuffer &= (BitWord{1} << BitCount) - 1;
    }

    // Writes `data` to the target, feeds it to the CRC (also after a failed write)
    // and, after a good write, reports the count to the handler in force.
    bool FlushWindow(std::span<const std::uint8_t> data);
    // Starts the output area afresh (the start of every windowed decoder).
    void ResetWindow() { WindowPos = kOutputStart; }
    // Flushes the full output area and slides the window on; false when the write failed.
    bool FlushFullWindow();
    // Flushes what the output area holds (the end of every windowed decoder).
    bool FlushWindowRest();

    // The check before each step of a windowed decoder: flushes a full output area,
    // then stops on an abort or once the input was read past its end. 0 to go on,
    // or the code the decoder ends with (and hands to Fail): -2 (the flush failed),
    // -5 or -3.
    std::int32_t GuardStep() {
        if (WindowPos >= kOutputEnd && !FlushFullWindow()) {
            return ZipErrWrite;
        }
        if (AbortRequested) {
            return ZipErrAborted;
        }
        if (InputExhausted()) {
            return ZipErrRead;
        }
        return ZipOk;
    }

    // Recomputes the percentage; when it changed, notifies and checks for abort.
    void UpdateProgress();
    // Notes the pump time and dispatches the thread's pending messages.
    void PumpMessages();
};

// The longest match any method produces: imploded data's base length of up to 66
// plus 255 from its extra byte (deflate's longest is 258).
inline constexpr std::size_t kLongestMatch = 66 + 255;
// A match at a distance of 16 or more copies this many bytes without a test, the
// rest 16 at a time: 64 with a 64-bit word, where the two extra copies cost less
// than mispredicting the loop for the many matches of 33 to 64 bytes in text; 32
// in the 32-bit programs, which are built for size.
inline constexpr std::size_t kUntestedMatchBytes = sizeof(BitWord) == 8 ? 64 : 32;
// A match starts inside the output area and CopyMatch may write up to
// kUntestedMatchBytes - 1 bytes past its end: the slack behind the output area
// must take both.
static_assert(ExtractState::kWindowSlack >= kLongestMatch + kUntestedMatchBytes - 1);

// Copies a match inside the window. `distance` is 1..32768 and never reaches below
// the window start; the write may run up to kUntestedMatchBytes - 1 bytes past
// position + length.
inline void CopyMatch(std::uint8_t* out, std::size_t distance, std::size_t length) {
    const std::uint8_t* from = out - distance;
    std::uint8_t* const end = out + length;
    if (distance >= 16) {
        // Each read ends before the bytes it writes, so overlap is harmless. Most
        // matches are shorter than kUntestedMatchBytes: copies without a test take
        // them, where a loop would often mistake its count.
        std::memcpy(out, from, 16);
        std::memcpy(out + 16, from + 16, 16);
        if constexpr (kUntestedMatchBytes == 64) {
            std::memcpy(out + 32, from + 32, 16);
            std::memcpy(out + 48, from + 48, 16);
        }
        out += kUntestedMatchBytes;
        from += kUntestedMatchBytes;
        while (out < end) {
            std::memcpy(out, from, 16);
            out += 16;
            from += 16;
        }
        return;
    }
    if (distance == 1) {
        // A run of one byte: whole words of it (a call to memset costs more than
        // the few bytes most runs have).
        const std::uint32_t run = 0x01010101u * *from;
        do {
            std::memcpy(out, &run, 4);
            std::memcpy(out + 4, &run, 4);
            out += 8;
        } while (out < end);
        return;
    }
    // A period below 8: each period copied byte by byte doubles the distance at
    // which the pattern repeats, and `from` then lies exactly that far back, until
    // 8-byte copies can take over.
    while (distance < 8 && out < end) {
        for (std::size_t k = 0; k < distance; ++k) {
            out[k] = from[k];
        }
        out += distance;
        distance *= 2;
    }
    while (out < end) {
        std::memcpy(out, from, 8);
        out += 8;
        from += 8;
    }
}

inline void CopyMatch(std::uint8_t* window, std::size_t position, std::size_t distance,
                      std::size_t length) {
    CopyMatch(window + position, distance, length);
}

}  // namespace setup::zip
