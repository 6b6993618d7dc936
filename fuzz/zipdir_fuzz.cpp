// The central directory reader over arbitrary bytes: every entry is walked, its
// name (stored, UTF-8 by flag bit 11, or from a Unicode Path extra field) matched
// and checked, and its data decoded and checked against the directory's values as
// a test run does, so out-of-bounds reads in the search, the header and name
// parsing, the data descriptor check and the decoders show up.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "platform/posix/PosixOs.h"
#include "zip/EntryName.h"
#include "zip/MemoryFile.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipExtract.h"
#include "zip/ZipPattern.h"

namespace {

// A bare emulated system for the clock and the message pump of a test run; it
// touches no file.
setup::platform::Os& FuzzOs() {
    static setup::platform::PosixOs os([] {
        setup::platform::PosixOsConfig config;
        config.root = std::filesystem::temp_directory_path() / "setup-fuzz-zipdir";
        config.bare = true;
        return config;
    }());
    return os;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace setup::zip;
    static setup::platform::ScopedOs installed(FuzzOs());
    ZipDirectoryCursor cursor;
    if (ZipOpenDirectory(std::make_unique<MemoryFile>(std::span(data, size)), cursor) != 0) {
        return 0;
    }
    int entries = 0;
    do {
        (void)ZipMatchPattern("*.T?T", cursor.Name);
        if (cursor.NameUsable && IsSafeEntryName(cursor.Name) && entries < 8) {
            const ZipCentralValues central{cursor.CompressedSize, cursor.Size, cursor.Crc};
            (void)ZipTestEntry("", cursor.HeaderOffset, 0, cursor.Archive.get(), &central);
        }
        ++entries;
    } while (ZipNextEntry(cursor) == 0 && entries < 100000);
    return 0;
}
