// The outcome of installing one file by copy or extraction.
#pragma once

#include <string>
#include <string_view>

namespace setup::install {

enum FileResult : int {
    ResultNew = 0,                 // installed; the target did not exist before
    ResultReplaced = 1,            // installed over an existing target
    ResultDeclined = 2,            // the target exists and the user said "&Nein" or "Abbrechen"
    ResultSourceMissing = -1,      // the source file (or archive) does not exist
    ResultCopyFailed = -2,         // the copy or the extraction failed
    ResultArchiveUnreadable = -3,  // the listing found no entry or could not read the archive
};

// One handled file as a transcript line: "file SOURCE -> TARGET: OUTCOME", the
// outcome being "new", "replaced", "declined", "source missing", "failed" or
// "archive unreadable". The target is empty when no target was decided.
std::string DescribeHandledFile(std::string_view source, std::string_view target, int result);

}  // namespace setup::install
