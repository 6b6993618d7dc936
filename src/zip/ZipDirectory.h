// The archive layer: finding the central directory and walking its entries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Os.h"

namespace setup::zip {

// The state of one directory scan, owned by the operation that opened it. The
// fields of the current entry are those of its central directory header.
struct ZipDirectoryCursor {
    std::vector<std::uint8_t> Buffer;  // the central directory plus the end record's signature
    std::size_t Position = 0;          // offset in Buffer of the next central header
    std::int32_t Time = 0;             // MS-DOS time (low half) and date (high half)
    std::int32_t Size = 0;
    std::int32_t CompressedSize = 0;
    std::int32_t HeaderOffset = 0;  // offset of the entry's local header
    std::string Name;               // full name as stored, slashes turned into backslashes
    std::uint16_t Method = 0;
    std::uint8_t Attributes = 0;              // the MS-DOS attribute byte; 0 when made elsewhere
    std::unique_ptr<platform::File> Archive;  // open while the cursor is open

    bool IsOpen() const { return Archive != nullptr; }
};

// Finds the end record in overlapping 4,096-byte windows from the end of the file,
// reads the whole central directory in one block and loads the first entry.
// 0, or -11 (not openable, empty, unreadable, no end record), -9 (end record too
// early, directory offset not before it, directory not fully readable) or -10
// (no entry). On failure the cursor is closed.
std::int32_t ZipOpenDirectory(std::string_view archivePath, ZipDirectoryCursor& cursor);
// The same over an archive already open (tests, fuzzing).
std::int32_t ZipOpenDirectory(std::unique_ptr<platform::File> archive, ZipDirectoryCursor& cursor);
// Loads the next entry: 0, or -10 at the end or at a damaged header (the cursor is
// then closed). -10 on a closed cursor.
std::int32_t ZipNextEntry(ZipDirectoryCursor& cursor);
// Releases the buffer and closes the archive; a closed cursor stays closed.
void ZipCloseDirectory(ZipDirectoryCursor& cursor);

// Little-endian field readers for the archive structures.
inline std::uint16_t LoadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace setup::zip
