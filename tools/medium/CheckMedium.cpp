// The run of `medium check`: finds the diskettes, reads the script and calls the
// checks of its text and of the medium's files in turn; the findings are sorted by
// line. Also where the checks look things up in the script.
#include "CheckMedium.h"

#include <algorithm>
#include <array>

#include "Checker.h"
#include "base/AsciiText.h"
#include "platform/Os.h"
#include "platform/TemporaryBeside.h"

namespace setup::medium {
namespace checking {

using platform::IniText;

namespace {

std::optional<std::string> ReadBytes(const std::string& path) {
    auto file = platform::CurrentOs().Files().Open(path, platform::OpenMode::Read);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<std::uint8_t, 65536> buffer{};
    for (;;) {
        const std::int64_t read = file->Read(buffer);
        if (read < 0) {
            return std::nullopt;
        }
        if (read == 0) {
            return bytes;
        }
        bytes.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(read));
    }
}

}  // namespace

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::optional<std::uint32_t> Number(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint32_t n = 0;
    for (char c : text) {
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return n;
}

Checker::Checker(std::string_view folder, const CheckOptions& options)
    : options_(options), disks_(DisketteFolders(folder)) {
    folder_ = disks_.empty() ? std::string(folder) : disks_.front();
}

std::vector<Diagnostic> Checker::Run() {
    const std::optional<std::string> bytes = ReadBytes(folder_ + "Setup.ini");
    if (!bytes) {
        Add(0, Severity::Error, "script-missing", "no Setup.ini on the medium");
        return Sorted();
    }
    ReadText(*bytes);
    CheckLines();
    CheckFiles();
    CheckModules();
    CheckShortcutsAndStart();
    CheckUpdate();
    CheckPictureAndInfo();
    CheckUninstaller();
    CheckDiskettes();
    return Sorted();
}

std::size_t Checker::SectionLine(std::string_view section) const {
    for (const IniText::Located& at : lines_) {
        if (at.header && EqualsNoCase(at.section, section)) {
            return at.line;
        }
    }
    return 0;
}

// The line of the entry the installer reads: the first of the first section.
std::size_t Checker::KeyLine(std::string_view section, std::string_view key) const {
    const std::size_t header = SectionLine(section);
    bool inFirst = false;
    for (const IniText::Located& at : lines_) {
        if (at.header) {
            inFirst = at.line == header;
        } else if (inFirst && EqualsNoCase(at.key, key)) {
            return at.line;
        }
    }
    return header;
}

void Checker::Add(std::size_t line, Severity severity, std::string_view rule, std::string text) {
    diagnostics_.push_back({line, severity, std::string(rule), std::move(text)});
}

std::vector<Diagnostic> Checker::Sorted() {
    std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return std::move(diagnostics_);
}

}  // namespace checking

std::vector<std::string> DisketteFolders(std::string_view folder) {
    std::vector<std::string> disks;
    for (std::size_t disk = 1;; ++disk) {
        const std::string number = std::to_string(disk);
        std::string found;
        for (const std::string& name : {"Diskette " + number, "Diskette" + number}) {
            if (platform::IsFolder(platform::CurrentOs().Files(), std::string(folder) + name)) {
                found = std::string(folder) + name + "\\";
                break;
            }
        }
        if (found.empty()) {
            return disks;
        }
        disks.push_back(found);
    }
}

std::vector<Diagnostic> CheckMedium(std::string_view folder, const CheckOptions& options) {
    return checking::Checker(folder, options).Run();
}

}  // namespace setup::medium
