// Reading the central directory.
//
// A ZIP archive ends with the end of central directory record (signature
// 50 4B 05 06, at least 22 bytes, followed by an archive comment of up to 64 KB).
// Its field at offset 16 gives the file offset of the central directory: one
// 46-byte header per entry plus the entry's name, extra field and comment. The end
// record is found by searching backwards from the end of the file, window by
// window; the hit nearest the end wins. Only the directory offset is read from it;
// the directory then runs from that offset to the end record. It is read piece by
// piece as the scan walks it, so a directory size claimed by a damaged or hostile
// end record costs no memory: the scan stops at the first header that is not one.
//
// Tricky cases, and what happens here:
//  - Files shorter than 22 bytes, or without the signature anywhere: -11.
//  - An end record at an offset below 46 leaves no room for any central header:
//    -9. So does a directory offset at or behind the end record (a directory of
//    zero or negative size), and a directory that cannot be read in full: the
//    scan never looks at bytes that were not read.
//  - A central header that does not fit into what is left of the directory, or
//    lacks its signature, ends the scan (-10), as does the end record itself.
//  - A directory whose first piece can't be read is -9; a read failure further on
//    ends the scan like a damaged header (-10).
//  - Names are zero-terminated texts to the system: a name is taken up to its
//    first NUL, so that every check sees what a system call would see. A UTF-8
//    name (flag bit 11, or the Unicode Path extra field) is converted to 1252
//    (EntryNameText); one without a 1252 form keeps its stored bytes for the
//    listing and is marked unusable, so that nothing is written under it.
//    Otherwise names are kept whole, whatever their length; the layers above
//    refuse names and paths that are too long rather than cutting them.
#include "zip/ZipDirectory.h"

#include <algorithm>

#include "zip/EntryNameText.h"
#include "zip/ZipTypes.h"

namespace setup::zip {
namespace {

constexpr std::int64_t kSearchWindow = 4096;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;

// Offset of the end record, or -1.
std::int64_t FindEndRecord(platform::File& archive, std::int64_t fileSize) {
    const std::int64_t width = std::min(kSearchWindow, fileSize);
    std::vector<std::uint8_t> window(static_cast<std::size_t>(width));
    std::int64_t start = fileSize - width;
    for (;;) {
        if (!archive.Seek(static_cast<std::uint64_t>(start)) || archive.Read(window) != width) {
            return -1;
        }
        for (std::int64_t offset = width - static_cast<std::int64_t>(kEndRecordSize); offset >= 0;
             --offset) {
            if (LoadLe32(&window[static_cast<std::size_t>(offset)]) == kEndSignature) {
                return start + offset;
            }
        }
        if (start == 0) {
            return -1;
        }
        // Successive windows overlap by the record's length.
        start =
            std::max<std::int64_t>(0, start - (width - static_cast<std::int64_t>(kEndRecordSize)));
    }
}

// Makes the `count` bytes of the directory at file offset `at` available in the
// buffer: a pointer to them, or null when they can't be read.
const std::uint8_t* Ensure(ZipDirectoryCursor& cursor, std::int64_t at, std::size_t count) {
    const auto wanted = static_cast<std::int64_t>(count);
    const auto held = static_cast<std::int64_t>(cursor.Buffer.size());
    if (at >= cursor.BufferStart && at + wanted <= cursor.BufferStart + held) {
        return cursor.Buffer.data() + (at - cursor.BufferStart);
    }
    const std::int64_t piece = std::max<std::int64_t>(
        wanted, std::min<std::int64_t>(static_cast<std::int64_t>(kDirectoryPiece),
                                       cursor.DirectoryEnd - at));
    cursor.Buffer.resize(static_cast<std::size_t>(piece));
    cursor.BufferStart = at;
    // The archive is shared with the extraction of entries, so always position it.
    if (!cursor.Archive->Seek(static_cast<std::uint64_t>(at)) ||
        cursor.Archive->Read(cursor.Buffer) != piece) {
        cursor.Buffer.clear();
        return nullptr;
    }
    return cursor.Buffer.data();
}

// 0, -10 for the end of the directory or a damaged header, -9 when it can't be read.
std::int32_t LoadEntry(ZipDirectoryCursor& cursor) {
    const std::int64_t left = cursor.DirectoryEnd - cursor.Position;
    const auto fixed = static_cast<std::size_t>(
        std::min<std::int64_t>(left, static_cast<std::int64_t>(kCentralHeaderSize)));
    const std::uint8_t* header = Ensure(cursor, cursor.Position, fixed);
    if (header == nullptr) {
        return Fail(ZipErrDirectory);
    }
    if (left >= 4 && LoadLe32(header) == kEndSignature) {
        return ZipErrNoMoreEntries;
    }
    if (fixed < kCentralHeaderSize || LoadLe32(header) != kCentralSignature) {
        return Fail(ZipErrNoMoreEntries);
    }
    const std::size_t nameLength = LoadLe16(header + 28);
    const std::size_t recordLength =
        kCentralHeaderSize + nameLength + LoadLe16(header + 30) + LoadLe16(header + 32);
    if (left < static_cast<std::int64_t>(recordLength)) {
        return Fail(ZipErrNoMoreEntries);
    }
    header = Ensure(cursor, cursor.Position, recordLength);
    if (header == nullptr) {
        return Fail(ZipErrDirectory);
    }
    cursor.Size = static_cast<std::int32_t>(LoadLe32(header + 24));
    cursor.CompressedSize = static_cast<std::int32_t>(LoadLe32(header + 20));
    cursor.Crc = LoadLe32(header + 16);
    cursor.Attributes = header[5] == 0 ? header[38] : 0;  // host system 0: MS-DOS
    cursor.Time = static_cast<std::int32_t>(LoadLe32(header + 12));
    cursor.HeaderOffset = static_cast<std::int32_t>(LoadLe32(header + 42));
    cursor.Method = LoadLe16(header + 10);
    cursor.Flags = LoadLe16(header + 8);
    const std::string_view stored(reinterpret_cast<const char*>(header + kCentralHeaderSize),
                                  nameLength);
    const std::span<const std::uint8_t> extra(header + kCentralHeaderSize + nameLength,
                                              LoadLe16(header + 30));
    std::optional<std::string> name = EntryNameText(stored, cursor.Flags, extra);
    cursor.NameUsable = name.has_value();
    cursor.Name = name ? std::move(*name) : std::string(stored.substr(0, stored.find('\0')));
    SlashesToBackslashes(cursor.Name);
    cursor.Position += static_cast<std::int64_t>(recordLength);
    return ZipOk;
}

}  // namespace

std::int32_t ZipOpenDirectory(std::string_view archivePath, ZipDirectoryCursor& cursor) {
    ZipCloseDirectory(cursor);
    auto archive = platform::CurrentOs().Files().Open(archivePath, platform::OpenMode::Read);
    if (archive == nullptr) {
        return Fail(ZipErrArchiveAccess);
    }
    return ZipOpenDirectory(std::move(archive), cursor);
}

std::int32_t ZipOpenDirectory(std::unique_ptr<platform::File> archive, ZipDirectoryCursor& cursor) {
    ZipCloseDirectory(cursor);
    if (archive == nullptr) {
        return Fail(ZipErrArchiveAccess);
    }
    const std::int64_t fileSize = archive->Size();
    if (fileSize <= 0) {
        return Fail(ZipErrArchiveAccess);
    }
    const std::int64_t end = FindEndRecord(*archive, fileSize);
    if (end < 0) {
        return Fail(ZipErrArchiveAccess);
    }
    std::uint8_t offsetField[4];
    if (!archive->Seek(static_cast<std::uint64_t>(end + 16)) || archive->Read(offsetField) != 4) {
        return Fail(ZipErrArchiveAccess);
    }
    const std::int64_t directory = LoadLe32(offsetField);
    if (end < static_cast<std::int64_t>(kCentralHeaderSize) || directory >= end) {
        return Fail(ZipErrDirectory);
    }
    cursor.Archive = std::move(archive);
    cursor.BufferStart = directory;
    cursor.Position = directory;
    cursor.DirectoryEnd = end + 4;
    const std::int32_t result = LoadEntry(cursor);
    if (result != ZipOk) {
        ZipCloseDirectory(cursor);
    }
    return result;
}

std::int32_t ZipNextEntry(ZipDirectoryCursor& cursor) {
    if (!cursor.IsOpen()) {
        return ZipErrNoMoreEntries;
    }
    if (LoadEntry(cursor) != ZipOk) {
        ZipCloseDirectory(cursor);
        return ZipErrNoMoreEntries;
    }
    return ZipOk;
}

void ZipCloseDirectory(ZipDirectoryCursor& cursor) {
    cursor.Buffer.clear();
    cursor.Buffer.shrink_to_fit();
    cursor.BufferStart = 0;
    cursor.Position = 0;
    cursor.DirectoryEnd = 0;
    if (cursor.Archive != nullptr) {
        cursor.Archive->Close();  // errors of a file only read are of no interest
        cursor.Archive.reset();
    }
}

}  // namespace setup::zip
