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
//
// The directory is read in pieces as the scan advances, never as a whole: its size
// comes from the end record, which a damaged or hostile archive sets to anything
// up to 4 GB. `Buffer` holds a piece of at most kDirectoryPiece bytes, or one
// header when a single header is longer (its three variable fields are at most
// 64 KB each).
struct ZipDirectoryCursor {
    std::vector<std::uint8_t> Buffer;  // directory bytes from file offset BufferStart on
    std::int64_t BufferStart = 0;
    std::int64_t Position = 0;      // file offset of the next central header
    std::int64_t DirectoryEnd = 0;  // file offset behind the end record's signature
    std::int32_t Time = 0;          // MS-DOS time (low half) and date (high half)
    std::int32_t Size = 0;
    std::int32_t CompressedSize = 0;
    std::uint32_t Crc = 0;
    std::int32_t HeaderOffset = 0;  // offset of the entry's local header
    std::string Name;  // the name in 1252 up to its first NUL, slashes turned into backslashes
    bool NameUsable = true;  // false: a UTF-8 name without a 1252 form (Name: as stored)
    std::uint16_t Method = 0;
    std::uint16_t Flags = 0;                  // general-purpose flags
    std::uint8_t Attributes = 0;              // the MS-DOS attribute byte; 0 when made elsewhere
    std::unique_ptr<platform::File> Archive;  // open while the cursor is open

    bool IsOpen() const { return Archive != nullptr; }
};

// Bytes of the directory read at a time.
inline constexpr std::size_t kDirectoryPiece = 64 * 1024;

// Finds the end record in overlapping 4,096-byte windows from the end of the file
// and loads the first entry of the central directory. 0, or -11 (not openable,
// empty, unreadable, no end record), -9 (end record too early, directory offset
// not before it, directory unreadable) or -10 (no entry). On failure the cursor is
// closed.
std::int32_t ZipOpenDirectory(std::string_view archivePath, ZipDirectoryCursor& cursor);
// The same over an archive already open (tests, fuzzing).
std::int32_t ZipOpenDirectory(std::unique_ptr<platform::File> archive, ZipDirectoryCursor& cursor);
// Loads the next entry: 0, or -10 at the end, at a damaged header or when the
// directory can't be read further (the cursor is then closed). -10 on a closed
// cursor. The archive may have been read or positioned in between.
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
