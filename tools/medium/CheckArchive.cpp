// The check of an archive on the medium: named as the installer takes it for one,
// a ZIP archive of one entry packed by a method the installer reads, and extracted
// to the end without an error by the installer's own extractor.
#include <algorithm>

#include "Checker.h"
#include "base/Windows1252.h"
#include "zip/Zip.h"

namespace setup::medium::checking {

// Returns the name the installer gives the file (its last entry's), or "".
std::string Checker::CheckArchive(std::size_t line, const std::string& path,
                                  std::string_view name) {
    if (name.find('_') == std::string_view::npos) {
        Add(line, Severity::Error, "archive-name",
            "the archive " + Quoted(name) +
                " has no \"_\" in its path; the installer does not take it for an archive");
        return {};
    }
    if (!zip::ZipIsArchive(path)) {
        Add(line, Severity::Error, "not-zip", Quoted(name) + " is not a ZIP archive");
        return {};
    }
    std::vector<zip::ZipReport> entries;
    const std::int32_t count =
        zip::ZipListEntries(path, "*.*", [&entries](std::int32_t, const zip::ZipReport& r) {
            if (r.Status != zip::ZipStatusArchiveEnd) {
                entries.push_back(r);
            }
        });
    if (count < 0) {
        Add(line, Severity::Error, "zip-damaged",
            "the directory of " + Quoted(name) + " can't be read (code " + std::to_string(count) +
                ")");
        return {};
    }
    if (entries.size() != 1) {
        Add(line, Severity::Error, "zip-entries",
            Quoted(name) + " holds " + std::to_string(entries.size()) +
                " entries; the installer installs only the last one");
        if (entries.empty()) {
            return {};
        }
    }
    for (const zip::ZipReport& entry : entries) {
        if (entry.Method >= 32 || ((zip::kSupportedMethods >> entry.Method) & 1U) == 0) {
            Add(line, Severity::Error, "zip-method",
                Quoted(entry.Name) + " in " + Quoted(name) + " is packed by method " +
                    std::to_string(entry.Method) + "; the installer reads 0, 1, 6 and 8");
            return {};
        }
    }
    std::int32_t failure = 0;
    const std::int32_t tested =
        zip::ZipTestArchive(path, "*.*", [&failure](std::int32_t code, const zip::ZipReport& r) {
            if (r.Status == zip::ZipStatusFailed || code == zip::ZipReportFatal) {
                failure = code == zip::ZipReportFatal ? r.Status : code;
            }
        });
    if (tested < 0 && failure == 0) {
        failure = tested;
    }
    switch (failure) {
        case 0:
            break;
        case zip::ZipErrCrc:
            Add(line, Severity::Error, "zip-crc", Quoted(name) + " fails its CRC check");
            return {};
        case zip::ZipErrEncrypted:
            Add(line, Severity::Error, "zip-encrypted", Quoted(name) + " is encrypted");
            return {};
        case zip::ZipErrMethod:
            Add(line, Severity::Error, "zip-method",
                Quoted(name) + " is packed by a method the installer can't read");
            return {};
        case zip::ZipErrFormat:
            // The listing gives a UTF-8 name as stored; the extractor refuses
            // one that Windows-1252 can't write.
            if (std::any_of(entries.back().Name.begin(), entries.back().Name.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
                !Utf8ToCp1252Exact(entries.back().Name)) {
                Add(line, Severity::Error, "zip-name",
                    "the entry name in " + Quoted(name) + " has no Windows-1252 form");
                return {};
            }
            [[fallthrough]];
        default:
            Add(line, Severity::Error, "zip-damaged",
                Quoted(name) + " can't be extracted (code " + std::to_string(failure) + ")");
            return {};
    }
    return entries.back().Name;
}

}  // namespace setup::medium::checking
