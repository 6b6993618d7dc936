#include "zip/ExtractState.h"

#include <algorithm>
#include <atomic>

#include "zip/Crc32.h"

namespace setup::zip {

namespace {

// The window of the last state that ended, its history zeroed; taken and given
// back by exchange, so that two states never share it.
std::atomic<std::uint8_t*> spareWindow{nullptr};

}  // namespace

ExtractState::ExtractState() : WindowStorage(spareWindow.exchange(nullptr)) {
    if (WindowStorage == nullptr) {
        WindowStorage = std::make_unique_for_overwrite<std::uint8_t[]>(kWindowStorage);
    } else {
        HistoryDirty = false;
    }
    Window = WindowStorage.get();
}

ExtractState::~ExtractState() {
    if (HistoryDirty) {
        std::memset(WindowStorage.get(), 0, kOutputStart);
    }
    const std::unique_ptr<std::uint8_t[]> displaced(spareWindow.exchange(WindowStorage.release()));
}

void ExtractState::BeginEntry(std::int32_t compressedSize, std::int32_t size, std::uint16_t flags) {
    EntryCompressedSize = compressedSize;
    EntrySize = size;
    EntryFlags = flags;
    BytesConsumed = 0;
    RunningCrc = 0xFFFFFFFF;
    LastPercent = 0;
    AbortRequested = false;
    InputEnded = false;
    ResetInput();
    // Only the history needs zeros: the output area is always written before it is read.
    Window = WindowStorage.get();
    if (HistoryDirty) {
        std::memset(Window, 0, kOutputStart);
        HistoryDirty = false;
    }
    ResetWindow();
}

void ExtractState::ResetInput() {
    InputPos = 0;
    InputLast = -1;
    PaddingFetched = 0;
    BitBuffer = 0;
    BitCount = 0;
}

void ExtractState::RefillInput() {
    const std::size_t carried = InputPos <= InputLast ? InputAvailable() : 0;
    if (carried > 0 && InputPos > 0) {
        std::memmove(InputBuffer.data(), &InputBuffer[static_cast<std::size_t>(InputPos)], carried);
    }
    InputPos = 0;
    InputLast = static_cast<std::int32_t>(carried) - 1;
    if (InputEnded) {
        return;
    }
    // Once more than the entry's data (and two bytes) has been read, the data is used
    // up without another pump or progress update. So an entry read whole by its first
    // block never checks for abort: its percentage goes from 0 to 100 only here.
    if (BytesConsumed > static_cast<std::int64_t>(EntryCompressedSize) + 2) {
        InputEnded = true;
        return;
    }
    PumpMessages();
    UpdateProgress();
    const std::int64_t remaining = static_cast<std::int64_t>(EntryCompressedSize) - BytesConsumed;
    if (remaining <= 0 || Archive == nullptr) {
        InputEnded = true;
        return;
    }
    const std::int64_t got = Archive->Read({&InputBuffer[carried], kInputBlockSize});
    if (got <= 0) {
        InputEnded = true;
        return;
    }
    BytesConsumed += got;
    // Whatever the block holds beyond the entry's data belongs to the next structure.
    const auto delivered = static_cast<std::size_t>(std::min(got, remaining));
    InputLast = static_cast<std::int32_t>(carried + delivered) - 1;
}

bool ExtractState::FlushWindow(std::span<const std::uint8_t> data) {
    const bool written =
        Target == nullptr || Target->Write(data) == static_cast<std::int64_t>(data.size());
    RunningCrc = UpdateCrc32(RunningCrc, data);
    if (written && Report != nullptr && *Report && Record != nullptr) {
        Record->Status = ZipStatusProgress;
        (*Report)(static_cast<std::int32_t>(data.size()), *Record);
    }
    return written;
}

bool ExtractState::FlushFullWindow() {
    while (WindowPos >= kOutputEnd) {
        if (!FlushWindow({Window + kOutputStart, kWindowSize})) {
            return false;
        }
        WindowPos -= kWindowSize;
        std::uint8_t* const storage = WindowStorage.get();
        if (Window + kWindowSize + kOutputEnd + kWindowSlack <= storage + kWindowStorage) {
            Window += kWindowSize;
        } else {
            // The history, and a match's tail beyond the output area, to the front.
            std::memmove(storage, Window + kWindowSize, WindowPos);
            Window = storage;
            HistoryDirty = true;
        }
    }
    return true;
}

bool ExtractState::FlushWindowRest() {
    return FlushWindow({Window + kOutputStart, WindowPos - kOutputStart});
}

void ExtractState::UpdateProgress() {
    if (EntryCompressedSize == 0) {
        return;
    }
    const auto percent = static_cast<std::int32_t>(
        std::min<std::int64_t>(100, BytesConsumed * 100 / EntryCompressedSize));
    if (percent == LastPercent) {
        return;
    }
    LastPercent = percent;
    if (ProgressWindow != nullptr && *ProgressWindow) {
        auto answer = static_cast<std::uint16_t>(percent);
        (*ProgressWindow)(ProgressId, answer);
        AbortRequested = answer == 0xFFFF;
    } else if (ProgressId != 0 && Thread != nullptr) {
        AbortRequested = Thread->IsKeyDown(ProgressId);
    }
}

void ExtractState::PumpMessages() {
    if (Clock != nullptr && LastPumpTime != nullptr) {
        *LastPumpTime = Clock->TickCount();
    }
    if (Thread != nullptr) {
        Thread->PumpMessages();
    }
}

}  // namespace setup::zip
