// The central directory reader over arbitrary bytes: every entry is walked and its
// name matched, so out-of-bounds reads in the search or the header parsing show up.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "zip/EntryName.h"
#include "zip/MemoryFile.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipPattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace setup::zip;
    ZipDirectoryCursor cursor;
    if (ZipOpenDirectory(std::make_unique<MemoryFile>(std::span(data, size)), cursor) != 0) {
        return 0;
    }
    int entries = 0;
    do {
        (void)ZipMatchPattern("*.T?T", cursor.Name);
        (void)IsSafeEntryName(cursor.Name);
        ++entries;
    } while (ZipNextEntry(cursor) == 0 && entries < 100000);
    return 0;
}
