// Stored entries: ZIP method 0.
//
// The entry's data is the file itself, compressed size = size. It is copied in
// blocks of up to 32 KB straight from the archive into the window's output area
// (no input buffer, no bit reader) and flushed block by block, so the CRC and the
// progress reports see the same blocks as for the other methods.
//
// Tricky cases: an entry of size 0 writes nothing and succeeds with CRC 0; an
// archive that ends early (a short read) gives -3; an entry whose sizes follow its
// data (flag bit 3) has no known length, so the copy runs to the end of the archive
// and fails there with -3, since stored data has no end marker of its own.
#include <algorithm>

#include "zip/Decoders.h"

namespace setup::zip {

std::int32_t CopyStoredEntry(ExtractState& state) {
    std::uint8_t* const block = state.Window + ExtractState::kOutputStart;
    while (state.BytesConsumed < state.EntryCompressedSize && !state.AbortRequested) {
        const auto chunk = static_cast<std::size_t>(
            std::min<std::int64_t>(state.EntryCompressedSize - state.BytesConsumed, kWindowSize));
        if (state.Archive == nullptr ||
            state.Archive->Read({block, chunk}) != static_cast<std::int64_t>(chunk)) {
            return Fail(ZipErrRead);
        }
        if (!state.FlushWindow({block, chunk})) {
            return Fail(ZipErrWrite);
        }
        state.BytesConsumed += static_cast<std::int64_t>(chunk);
        state.PumpMessages();
        state.UpdateProgress();
    }
    return state.AbortRequested ? Fail(ZipErrAborted) : 0;
}

}  // namespace setup::zip
