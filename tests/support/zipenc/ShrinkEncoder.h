// Encoder for ZIP method 1 ("shrunk"), for tests only.
//
// The format is LZW with codes of 9 to 13 bits, written least significant bit
// first. Codes 0 to 255 stand for single bytes, code 256 is an escape and codes
// 257 to 8191 are table entries, each "the string of its parent code plus one
// byte". The decoder adds one entry for every code it reads after the first: the
// previous code's string plus the first byte of the current one, at the lowest
// free code. The encoder therefore never announces entries; it has to predict
// exactly which code the decoder will pick, and this encoder does so by keeping
// the decoder's own table (parent, last byte, free list) and matching strings
// through a table from (parent, byte) to code.
//
// The escape 256 is followed by a subcode of the same width: 1 widens all later
// codes by one bit, 2 is a partial clear, which frees every table entry that is no
// other entry's parent. Freed codes are reused in increasing order.
//
// The tricky cases:
// - The decoder adds an entry one code late. The entry for "previous string +
//   next byte" is only created when the next code arrives, after any escapes in
//   between, so a partial clear written between two codes acts before that entry
//   exists, and the entry takes a code from the free list as it stands after the
//   clear.
// - The current code may be that very entry (the classic "KwKwK" string): the
//   decoder recognises it because the code is still free when it is read. It may
//   not be a descendant of that entry, because a decoder that walks the parents
//   of a code only expects the free code at the top; matching stops there.
// - A clear may free the previous code itself (it is usually a leaf). The pending
//   entry is then added anyway with a free parent, an orphan that only becomes
//   reachable when the parent code is reused ("adopted"). If the freed previous
//   code is also the lowest freed code, the pending entry lands on it and becomes
//   its own parent: unreachable, and never freed again because it has a child.
// - Decoders differ in which codes a clear examines. Ours looks at the codes
//   below the first free one; Info-ZIP's unzip 6.0 at the codes up to the last one
//   it assigned since the previous clear, and it marks a free parent of an orphan
//   in a way that keeps that code from being reused. A clear is therefore only
//   written when these readings coincide: the codes in use form one run from 257,
//   the last entry added is the top of that run, and no entry is an orphan.
//   Optional clears (ShrinkOptions::clearInterval) wait for such a moment.
// - The table counts as full when its next free code no longer fits the widest
//   code, and a clear must then come before the next code. To make that moment
//   one where the decoders agree, the code that fills the table is a plain byte:
//   a string code there would usually be freed by the clear and orphan the next
//   entry, and the last code would later adopt it and survive the following
//   clear, which the decoders then read differently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace setup::zipenc {

struct ShrinkOptions {
    // Widest code written, 9 to 13. A smaller cap fills the table sooner, so that
    // small inputs exercise partial clears.
    int maxCodeBits = 13;
    // 0: partial clears only when the table is full. N > 0: additionally a clear
    // once N codes have been written since the last one, at the first moment where
    // decoders agree on its effect (see above).
    std::size_t clearInterval = 0;
};

struct ShrinkStats {
    std::size_t codes = 0;          // string codes written, escapes not counted
    std::size_t growths = 0;        // escapes 256,1
    std::size_t partialClears = 0;  // escapes 256,2
    std::size_t freedCodes = 0;     // entries freed by all partial clears
    std::size_t reusedCodes = 0;    // entries placed on a code freed earlier
    std::size_t kwkwkCodes = 0;     // codes written in the step that defines them
    std::size_t orphans = 0;        // entries added below a parent that was free
    std::size_t selfParented = 0;   // entries that landed on their own (free) parent
    int finalCodeBits = 9;
};

// A table indexed by code; codes are never negative.
template <class T>
class CodeTable {
  public:
    void assign(int size, T value) { cells_.assign(static_cast<std::size_t>(size), value); }
    T& operator[](int code) { return cells_[static_cast<std::size_t>(code)]; }
    const T& operator[](int code) const { return cells_[static_cast<std::size_t>(code)]; }

  private:
    std::vector<T> cells_;
};

class ShrinkEncoder {
  public:
    explicit ShrinkEncoder(ShrinkOptions options = {});

    // The method 1 data for `input`. Empty input gives empty data.
    std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> input);
    // Counters of the last Encode call.
    const ShrinkStats& Stats() const { return stats_; }

  private:
    void Reset();
    void AddEntry(int parent, std::uint8_t byte);
    void PartialClear();
    bool DecodersAgreeOnClear() const;
    void CheckDecodable(int code, int pending) const;

    ShrinkOptions options_;
    ShrinkStats stats_;
    // The decoder's table for codes 257 to 8192 (indexed by code; lower indexes
    // unused). A code is free exactly when it is in the free list.
    CodeTable<int> parent_;
    CodeTable<std::uint8_t> suffix_;
    CodeTable<std::uint8_t> inUse_;
    CodeTable<std::uint8_t> everUsed_;
    CodeTable<int> nextFree_;
    int freeHead_ = 257;
    int lastAdded_ = 256;  // code of the latest entry since the last clear, 256 if none
    int codesInUse_ = 0;
    CodeTable<int> childCount_;  // entries in use per parent code
    int orphanCount_ = 0;        // entries in use whose parent is free
    std::vector<int> freedScratch_;
    // Code of the entry (parent, byte), indexed parent * 256 + byte; 0 for none.
    std::vector<std::int16_t> children_;
};

// Convenience: ShrinkEncoder(options).Encode(input).
std::vector<std::uint8_t> Shrink(std::span<const std::uint8_t> input, ShrinkOptions options = {});

}  // namespace setup::zipenc
