// The extractor's records and numbers: the report handed to callers, the handler
// types, the status and result codes, and two small helpers on names and sizes.
// The extractor has no texts of its own; every outcome is one of these numbers and
// the caller turns it into a message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace setup::zip {

// Status codes, found in ZipReport::Status (and as the handler's code argument
// where the report protocol says so).
inline constexpr std::int32_t ZipStatusStart = -1000;     // an entry is about to be extracted
inline constexpr std::int32_t ZipStatusProgress = -1001;  // output written; entry listed or skipped
inline constexpr std::int32_t ZipStatusDone = -1002;      // an entry was extracted or skipped
inline constexpr std::int32_t ZipStatusFailed = -1003;    // an entry failed, reportably
inline constexpr std::int32_t ZipStatusArchiveStart = -1004;  // an extraction run starts
inline constexpr std::int32_t ZipStatusArchiveEnd = -1005;    // a run ends normally
inline constexpr std::int32_t ZipReportFatal =
    -100;  // code of the report ending a run on a serious error

// Result and error codes. Zero or more is success (for runs: entries handled).
inline constexpr std::int32_t ZipOk = 0;
inline constexpr std::int32_t ZipErrCrc = -1;      // written data does not match its CRC-32
inline constexpr std::int32_t ZipErrWrite = -2;    // target not creatable, or a write failed
inline constexpr std::int32_t ZipErrRead = -3;     // archive not positionable, or data ran out
inline constexpr std::int32_t ZipErrFormat = -4;   // bad local header, invalid data or unsafe name
inline constexpr std::int32_t ZipErrAborted = -5;  // the user aborted
inline constexpr std::int32_t ZipErrMethod = -6;   // compression method not supported
inline constexpr std::int32_t ZipErrEncrypted = -7;       // the entry is encrypted
inline constexpr std::int32_t ZipErrBusy = -8;            // an extraction is already in progress
inline constexpr std::int32_t ZipErrDirectory = -9;       // central directory unusable
inline constexpr std::int32_t ZipErrNoMoreEntries = -10;  // no further entry, or a damaged header
inline constexpr std::int32_t ZipErrArchiveAccess =
    -11;                                                // archive unreadable or without end record
inline constexpr std::int32_t ZipErrNotArchive = -12;   // ZipIsArchive is false
inline constexpr std::int32_t ZipErrOpenArchive = -14;  // archive not openable for one entry
inline constexpr std::int32_t ZipErrArgument = -500;    // a required argument is missing or empty

// Compression methods: stored, shrunk, imploded, deflated; bit m set = method m supported.
inline constexpr std::uint32_t kSupportedMethods = 0x143;
// Method value reported for an entry skipped on the question handler's answer.
inline constexpr std::uint16_t kMethodSkipped = 9;
// Longest target path or entry name the extractor accepts (MAX_PATH less the NUL).
inline constexpr std::size_t kMaxPathLength = 259;

// The record handed to the report and question handlers. One record serves a whole
// run; its contents after the run are those of the last report.
struct ZipReport {
    std::string Name;       // target path, entry name, or archive path (start and end of a run)
    std::int32_t Time = 0;  // MS-DOS time (low half) and date (high half); -1 at run end
    std::int32_t Size = 0;  // uncompressed size, or a total
    std::int32_t CompressedSize = 0;  // compressed size, or a total
    std::int32_t Attributes = 0;      // the entry's attribute byte; -1 at run end
    std::uint16_t Method = 0;         // compression method; kMethodSkipped for a skipped entry
    std::uint8_t Ratio = 0;           // low 8 bits of CompressionPercent
    std::int32_t Status = 0;          // a status code, or an error code
    bool IsFolder = false;            // the target path ends with "/" or "\"
};

// Called with a code whose meaning depends on report.Status.
using ZipReportHandler = std::function<void(std::int32_t code, const ZipReport& report)>;
// Asked before an existing file is overwritten: true replaces it, false skips the entry.
using ZipQuestionHandler = std::function<bool(const ZipReport& report)>;

// Every rejected input leaves the extractor through this helper, so that one
// breakpoint (or one trace line) catches each rejection with its documented code.
[[nodiscard]] std::int32_t Fail(std::int32_t code);

// Turns every "/" into "\", the first character included.
void SlashesToBackslashes(std::string& text);

// 100 - compressed * 100 / size, in integer arithmetic that cannot overflow: both
// values are first divided by 100 when compressed exceeds 21,474,836. Zero for an
// empty entry; negative when the entry grew.
std::int32_t CompressionPercent(std::int32_t compressedSize, std::int32_t size);

}  // namespace setup::zip
