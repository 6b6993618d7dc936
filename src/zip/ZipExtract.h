// Extracting one entry of an archive into one file or folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "zip/ExtractState.h"
#include "zip/LocalHeader.h"

namespace setup::zip {

// Extracts the entry whose local header is at `headerOffset` into `targetPath`
// (a path ending with "\" is a folder entry: the folders are created, no file).
// A new target is written directly and deleted again on failure; for an existing
// one the data is decoded into a temporary file beside it, which replaces the
// target only after its CRC matched. So a failed, corrupt or aborted extraction
// leaves an existing target as it was and a new target absent. Without a progress
// window, `progressId` is the virtual key that aborts while held (0: none).
// `openArchive`, when given, is a handle of the archive the caller holds open (an
// extraction run's directory cursor) and is read instead of opening the archive
// for this entry; it stays open. `createdTarget`, when given, is `targetPath` as
// ZipCreateNewTarget created it: the entry is written into it and it is closed;
// after a failure the caller deletes it. `central`, when given, holds the entry's
// values from the central directory (see ZipCentralValues); without them an entry
// with a data descriptor has unknown sizes and only deflated data can succeed.
// 0, or -1, -2, -3, -4, -5, -6, -7, -8, -14, or a decoder's positive code.
std::int32_t ZipExtractEntry(std::string_view archivePath, std::string_view targetPath,
                             std::int32_t headerOffset, const ZipProgressWindow* progressWindow,
                             std::int32_t progressId, platform::File* openArchive = nullptr,
                             platform::File* createdTarget = nullptr,
                             const ZipCentralValues* central = nullptr);

// Creates the file `targetPath` when nothing has its name yet: the open, empty
// file. Nothing when the name is taken, its folder is missing, or the path is too
// long or names a folder. An extraction run creates new targets this way, which
// tells it in one step that there is nothing to ask about or keep.
std::unique_ptr<platform::File> ZipCreateNewTarget(std::string_view targetPath);

// Decodes the entry and checks its CRC without writing anything (`ziptool test`).
// The same codes as ZipExtractEntry, except those of writing.
std::int32_t ZipTestEntry(std::string_view archivePath, std::int32_t headerOffset,
                          std::int32_t progressId, platform::File* openArchive = nullptr,
                          const ZipCentralValues* central = nullptr);

}  // namespace setup::zip
