// The extractor's public operations: recognising an archive, listing its entries,
// extracting the entries that match a pattern into a folder, and the handlers a
// caller registers to follow a run.
//
// Report protocol of an extraction run (handler given): ArchiveStart (code -1004,
// Size and CompressedSize the archive's totals); per matching entry Start (-1000),
// any number of Progress reports (code: bytes written), then Done (-1002), or, for
// a reportable failure (-1, -2, -6, -7), Failed with the error as code, which ends
// the run; finally ArchiveEnd (code: the count). A serious failure (-3, -4, -5, -8,
// -14) is reported with code -100 and Status holding the error, and returned
// instead of the count. A listing reports each matching entry with Status Progress
// and code 0, then ArchiveEnd with the count.
#pragma once

#include <cstdint>
#include <string_view>

#include "zip/ZipTypes.h"

namespace setup::zip {

// The path contains "_" somewhere, does not name a folder, and the file starts
// with a local header signature (50 4B 03 04).
bool ZipIsArchive(std::string_view path);

// Reports every entry matching `pattern` to `handler`; the count, or -500 (no
// path or handler), -12 (not an archive), -9 (directory unusable).
std::int32_t ZipListEntries(std::string_view archivePath, std::string_view pattern,
                            const ZipReportHandler& handler);

// ZipExtractWithHandlers with the registered handlers, which it unregisters.
std::int32_t ZipExtractFiles(std::string_view archivePath, std::string_view targetFolder,
                             std::string_view pattern);

// Extracts every entry matching `pattern` into `targetFolder`, creating folders as
// needed. An entry whose name would leave the folder (a ".." component, a leading
// "\" or "/", a drive letter) ends the run with -4 before anything is written.
// The number of entries extracted or skipped, or -500, -12, -9, or a serious
// error's code. Either handler may be empty.
std::int32_t ZipExtractWithHandlers(std::string_view archivePath, std::string_view targetFolder,
                                    std::string_view pattern, const ZipReportHandler& report,
                                    const ZipQuestionHandler& question);

// Checks every entry matching `pattern` (decoding and CRC, nothing written),
// reporting as an extraction run does with each entry's name as Name. The count
// of good entries, or the codes of ZipExtractWithHandlers.
std::int32_t ZipTestArchive(std::string_view archivePath, std::string_view pattern,
                            const ZipReportHandler& report);

// Total uncompressed size of all entries, with the compressed total in
// `compressedSize`; for a file that is no archive (or whose directory is unusable)
// the file size, with the compressed total the file size (0 for an unusable directory).
std::int32_t ZipArchiveSizes(std::string_view archivePath, std::int32_t& compressedSize);

// Register handlers for the next extraction run; each returns the previous one.
ZipReportHandler ZipSetReportHandler(ZipReportHandler handler);
ZipQuestionHandler ZipSetQuestionHandler(ZipQuestionHandler handler);

}  // namespace setup::zip
