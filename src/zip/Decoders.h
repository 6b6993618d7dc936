// The decoders of the compression methods the extractor supports. Each one works
// on an ExtractState prepared for the entry (BeginEntry, archive positioned at the
// entry's data), writes through its window or FlushWindow, and returns 0 or a code;
// the CRC check is the caller's.
#pragma once

#include <cstdint>
#include <span>

#include "zip/DecodeTables.h"
#include "zip/ExtractState.h"

namespace setup::zip {

// Method 8 (deflated): 0, -2, -3, -4, -5, or 1 (a code-length repeat ran past the
// lengths to read).
std::int32_t InflateEntry(ExtractState& state);
// Method 0 (stored): 0, -2, -3, -5.
std::int32_t CopyStoredEntry(ExtractState& state);
// Method 1 (shrunk): 0, -2, -3, -4, -5, -6.
std::int32_t UnshrinkEntry(ExtractState& state);
// Method 6 (imploded): 0, -2, -3, -4, -5.
std::int32_t ExplodeEntry(ExtractState& state);

// Result of ReadByteTree for a tree description that does not fit.
inline constexpr int kByteTreeInvalid = 4;
// Reads the byte-coded code lengths of one imploded tree into `lengths` (exactly
// lengths.size() of them): 0, or kByteTreeInvalid.
int ReadByteTree(ExtractState& state, std::span<std::uint8_t> lengths);

// Decodes one symbol through `table` and consumes its code bits; an entry with Op
// kOpInvalid is returned unconsumed. A base comes back with Bits its code bits and
// Op the number of extra bits still to read. Imploded data stores its codes with
// every bit inverted (but not the extra bits), hence the template switch.
template <bool kInverted, std::size_t kCapacity>
inline HuffEntry DecodeSymbol(ExtractState& state, const DecodeTable<kCapacity>& table) {
    const std::uint32_t root = table.RootBits;
    state.FillBits(root);
    std::uint32_t bits = kInverted ? ~state.PeekWord() : state.PeekWord();
    HuffEntry entry = table.Entries[bits & ((1u << root) - 1)];
    if (IsLink(entry)) {
        state.DropBits(root);
        state.FillBits(LinkBits(entry));
        bits = kInverted ? ~state.PeekWord() : state.PeekWord();
        entry = FollowLink(table.Entries.data(), entry, bits);
    }
    if (IsInvalid(entry)) {
        return entry;
    }
    if (IsBaseOp(entry.Op)) {
        entry = HuffEntry{entry.Op, static_cast<std::uint8_t>(entry.Bits - entry.Op), entry.Value};
    }
    state.DropBits(entry.Bits);
    return entry;
}

}  // namespace setup::zip
