#include "CheckMedium.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "base/Windows1252.h"
#include "install/DisketteFiles.h"
#include "platform/IniText.h"
#include "platform/Os.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "zip/Zip.h"

namespace setup::medium {
namespace {

using platform::IniText;

constexpr std::string_view kInstallFolder = "@@INSTDIR@@";

// The placeholders the installer replaces (system/Placeholders.cpp).
constexpr std::array<std::string_view, 15> kPlaceholders = {
    "@@INSTDIR@@", "@@WINDIR@@",    "@@SYSDIR@@",    "@@PRGDIR@@",   "@@COMMON@@",
    "@@PRGGRP@@",  "@@AUTOSTART@@", "@@STARTMENU@@", "@@PROGRAMS@@", "@@FAVORITEN@@",
    "@@DESKTOP@@", "@@SENDTO@@",    "@@CONFIG@@",    "@@DEVICES@@",  "@@MEDIA@@"};

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

bool IsExistingFolder(const std::string& path) {
    auto found = platform::CurrentOs().Files().FindFirst(path);
    return found && found->IsFolder();
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The number of a text of digits only (at most 9 of them); nothing otherwise.
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

// -1, 0 or 1 for versions compared number by number ("1.10" > "1.9"); nothing
// when either is not made of numbers and points.
std::optional<int> CompareNumerically(std::string_view a, std::string_view b) {
    for (;;) {
        const std::size_t da = a.find('.');
        const std::size_t db = b.find('.');
        const auto na = Number(a.substr(0, da));
        const auto nb = Number(b.substr(0, db));
        if (!na || !nb) {
            return std::nullopt;
        }
        if (*na != *nb) {
            return *na < *nb ? -1 : 1;
        }
        if (da == std::string_view::npos || db == std::string_view::npos) {
            return da == db ? 0 : (da == std::string_view::npos ? -1 : 1);
        }
        a.remove_prefix(da + 1);
        b.remove_prefix(db + 1);
    }
}

// The file name a link path ends with, after its placeholder and folders.
std::string LinkFileName(std::string_view path) {
    const std::size_t placeholder = path.rfind("@@");
    if (placeholder != std::string_view::npos) {
        path.remove_prefix(placeholder + 2);
    }
    return FileNameOf(path);
}

class Checker {
  public:
    Checker(std::string_view folder, const CheckOptions& options)
        : options_(options), disks_(DisketteFolders(folder)) {
        folder_ = disks_.empty() ? std::string(folder) : disks_.front();
    }

    std::vector<Diagnostic> Run() {
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

  private:
    // --- where things stand in the script ---------------------------------------

    std::size_t SectionLine(std::string_view section) const {
        for (const IniText::Located& at : lines_) {
            if (at.header && EqualsNoCase(at.section, section)) {
                return at.line;
            }
        }
        return 0;
    }

    // The line of the entry the installer reads: the first of the first section.
    std::size_t KeyLine(std::string_view section, std::string_view key) const {
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

    void Add(std::size_t line, Severity severity, std::string_view rule, std::string text) {
        diagnostics_.push_back({line, severity, std::string(rule), std::move(text)});
    }

    std::vector<Diagnostic> Sorted() {
        std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                         [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
        return std::move(diagnostics_);
    }

    // --- the text -----------------------------------------------------------------

    void ReadText(const std::string& bytes) {
        constexpr std::string_view kBom = "\xEF\xBB\xBF";
        std::string text = bytes;
        if (std::string_view(bytes).starts_with(kBom)) {
            Add(1, Severity::Warning, "script-bom",
                "the script starts with a UTF-8 byte-order mark; write it in Windows-1252");
            text = Utf8ToCp1252Exact(std::string_view(bytes).substr(kBom.size())).value_or(bytes);
        } else if (std::any_of(bytes.begin(), bytes.end(),
                               [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
                   Utf8ToCp1252Exact(bytes)) {
            const std::size_t at = static_cast<std::size_t>(
                std::find_if(bytes.begin(), bytes.end(),
                             [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) -
                bytes.begin());
            const std::size_t line =
                1 + static_cast<std::size_t>(std::count(
                        bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
            Add(line, Severity::Error, "script-utf8",
                "the script is UTF-8 without a byte-order mark; the installer reads it as "
                "Windows-1252");
        }
        ini_.emplace(std::move(text));
        lines_ = ini_->Lines();
        script_.emplace(folder_ + "Setup.ini");
    }

    void CheckLines() {
        std::map<std::string, std::size_t> sections;  // upper-case name -> first line
        std::map<std::string, std::size_t> keys;      // of the current section
        bool skipping = false;                        // a repeated section
        for (const IniText::Located& at : lines_) {
            if (at.header) {
                keys.clear();
                auto [first, added] = sections.emplace(AsciiUpper(at.section), at.line);
                skipping = !added;
                if (skipping) {
                    Add(at.line, Severity::Error, "duplicate-section",
                        "section [" + std::string(at.section) +
                            "] is written twice (first on line " + std::to_string(first->second) +
                            "); the installer reads only the first");
                }
                continue;
            }
            if (skipping) {
                continue;
            }
            if (at.value) {
                auto [first, added] = keys.emplace(AsciiUpper(at.key), at.line);
                if (!added) {
                    Add(at.line, Severity::Error, "duplicate-key",
                        "key " + Quoted(at.key) + " is written twice in [" +
                            std::string(at.section) + "] (first on line " +
                            std::to_string(first->second) +
                            "); the installer reads only the first value");
                }
                const std::string value = platform::ProfileResult(*at.value, std::string::npos);
                if (value.size() > kIniValueMaxChars) {
                    Add(at.line, Severity::Error, "long-value",
                        "the value of " + Quoted(at.key) + " has " + std::to_string(value.size()) +
                            " characters; the installer reads only the first 1023");
                }
                CheckPlaceholders(at.line, *at.value);
            }
            CheckPlaceholders(at.line, at.key);
        }
    }

    void CheckPlaceholders(std::size_t line, std::string_view text) {
        const std::size_t open = text.find("@@");
        const std::size_t close = open == std::string_view::npos ? open : text.find("@@", open + 2);
        if (close == std::string_view::npos) {
            return;
        }
        const std::string token(text.substr(open, close + 2 - open));
        const bool known = std::any_of(kPlaceholders.begin(), kPlaceholders.end(),
                                       [&](std::string_view p) { return EqualsNoCase(p, token); });
        if (!known) {
            Add(line, Severity::Error, "placeholder",
                "unknown placeholder " + token + "; the installer removes it");
        }
        const std::string_view rest = text.substr(close + 2);
        const std::size_t second = rest.find("@@");
        if (second != std::string_view::npos &&
            rest.find("@@", second + 2) != std::string_view::npos) {
            Add(line, Severity::Error, "placeholder",
                "only the first placeholder of a text is replaced; " +
                    std::string(rest.substr(second, rest.find("@@", second + 2) + 2 - second)) +
                    " stays as written");
        }
    }

    // --- the files ----------------------------------------------------------------

    // The section a file key came from and its diskette (1 without diskettes).
    struct FileKey {
        std::string key;
        std::string section;
        std::size_t disk = 1;
        std::size_t line = 0;
    };

    std::vector<FileKey> ListedFiles() {
        std::vector<FileKey> files;
        std::vector<std::string> keys = script_->ReadSectionKeys("Dateien");
        if (!keys.empty()) {
            for (std::string& key : keys) {
                files.push_back({key, "Dateien", 1, KeyLine("Dateien", key)});
            }
            return files;
        }
        usesDiskettes_ = true;
        install::CollectDisketteFiles(*script_, keys);
        for (std::string& key : keys) {
            FileKey file{key, "", 1, 0};
            for (std::size_t disk = 1;; ++disk) {
                const std::string section = "Diskette" + std::to_string(disk);
                const auto listed = script_->ReadSectionKeys(section);
                if (SectionLine(section) == 0 && listed.empty()) {
                    break;
                }
                if (std::any_of(listed.begin(), listed.end(),
                                [&](const std::string& k) { return EqualsNoCase(k, key); })) {
                    file.section = section;
                    file.disk = disk;
                    file.line = KeyLine(section, key);
                    break;
                }
            }
            files.push_back(std::move(file));
        }
        return files;
    }

    std::string DiskFolder(std::size_t disk) const {
        return disks_.empty() ? folder_ : disks_[std::min(disk, disks_.size()) - 1];
    }

    void CheckFiles() {
        const std::vector<FileKey> files = ListedFiles();
        if (files.empty()) {
            Add(SectionLine("Dateien"), Severity::Error, "no-files",
                "no file is listed in [Dateien] or in the diskette lists");
        }
        std::size_t drive = 1;  // the diskette in the drive
        for (const FileKey& file : files) {
            const std::string name = KeyFileName(file.key);
            // The installer asks for the next diskette while a file is missing:
            // on a set of diskettes it is found on this one or a later one.
            for (std::size_t disk = drive; disks_.size() > 1 && disk <= disks_.size(); ++disk) {
                if (IsExistingFile(DiskFolder(disk) + name)) {
                    drive = disk;
                    break;
                }
            }
            const std::size_t on = disks_.size() > 1 ? drive : file.disk;
            const std::string path = DiskFolder(on) + name;
            files_.push_back({file.key, KeyModule(file.key), file.line});
            std::string installed = FileNameOf(name);
            const bool archive = KeyIsArchive(file.key);
            if (!IsExistingFile(path)) {
                // Reported once: the file is still taken as installed for the other rules.
                if (!archive) {
                    NoteTarget(file.key, installed);
                }
                if (disks_.empty() && file.disk > 1) {
                    continue;  // on a diskette not given to the check
                }
                const std::string where = disks_.size() > 1
                                              ? "diskette " + std::to_string(on) + " or a later one"
                                              : std::string("the medium");
                Add(file.line, Severity::Error, "missing-file",
                    Quoted(name) + " is not on " + where);
                continue;
            }
            CheckSpelling(file.line, path, name);
            if (archive) {
                installed = CheckArchive(file.line, path, name);
            }
            NoteTarget(file.key, installed);
        }
    }

    // Records a file the list installs into the installation folder or below it.
    void NoteTarget(const std::string& key, const std::string& installed) {
        // Where it goes, relative to the installation folder ("" for the folder itself).
        std::string target =
            usesDiskettes_ ? std::string(kInstallFolder) : script_->ReadString("Dateien", key, "");
        target = target.empty() ? std::string(kInstallFolder) : target;
        if (StartsWithNoCase(target, kInstallFolder) && !installed.empty()) {
            // The installation folder ends with a backslash, the rest gets one.
            installedHere_.insert(
                AsciiUpper(AddTrailingBackslash(target.substr(kInstallFolder.size())) + installed));
        }
    }

    void CheckSpelling(std::size_t line, const std::string& path, std::string_view name) {
        if (!options_.spelling) {
            return;
        }
        // Folding keeps the length: the name is the path's end in either spelling.
        std::optional<std::string> spelt = options_.spelling(path);
        if (spelt && spelt->size() >= name.size()) {
            spelt->erase(0, spelt->size() - name.size());
        }
        if (spelt && *spelt != name) {
            Add(line, Severity::Warning, "letter-case",
                Quoted(name) + " is on the medium as " + Quoted(*spelt) +
                    ": Windows finds it, a case-sensitive disk does not");
        }
    }

    // Returns the name the installer gives the file (its last entry's), or "".
    std::string CheckArchive(std::size_t line, const std::string& path, std::string_view name) {
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
                "the directory of " + Quoted(name) + " can't be read (code " +
                    std::to_string(count) + ")");
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
        const std::int32_t tested = zip::ZipTestArchive(
            path, "*.*", [&failure](std::int32_t code, const zip::ZipReport& r) {
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

    // --- modules, shortcuts, programs to start ----------------------------------

    struct Listed {
        std::string key;
        std::string module;
        std::size_t line;
    };

    void CheckModules() {
        struct Module {
            std::string name;
            bool shown = true;
            bool chosen = false;
        };
        std::vector<Module> modules;
        for (const std::string& name : script_->ReadSectionKeys("Auswahl")) {
            // state [";" flag], as the module page reads it
            const std::string value = script_->ReadString("Auswahl", name, "");
            const std::size_t separator = value.find(';');
            Module module{name};
            module.chosen = std::string_view(value).substr(0, separator) == "1";
            module.shown =
                separator == std::string::npos ||
                ParseIniInteger(std::string_view(value).substr(separator + 1)).value_or(0) == 0;
            modules.push_back(module);
        }
        const bool page = script_->ReadBool("ProgInfos", "Auswahl", false);
        bool reportedOff = false;
        for (const Listed& file : files_) {
            if (file.module.empty()) {
                continue;
            }
            auto module = std::find_if(modules.begin(), modules.end(), [&](const Module& m) {
                return EqualsNoCase(m.name, file.module);
            });
            if (module == modules.end()) {
                Add(file.line, Severity::Error, "module-unknown",
                    "module " + Quoted(file.module) +
                        " is not listed in [Auswahl]; its files are never installed");
            } else if (module->shown && !page && !reportedOff) {
                reportedOff = true;
                Add(file.line, Severity::Error, "modules-off",
                    "files of module " + Quoted(file.module) +
                        " are never installed: [ProgInfos] Auswahl is not 1, so no module is "
                        "chosen");
            }
        }
        const bool anyShown =
            std::any_of(modules.begin(), modules.end(), [](const Module& m) { return m.shown; });
        const bool anyChosen = std::any_of(modules.begin(), modules.end(),
                                           [](const Module& m) { return m.shown && m.chosen; });
        if (page && anyShown && !anyChosen) {
            Add(SectionLine("Auswahl"), Severity::Warning, "modules-none-chosen",
                "no shown module starts chosen; the module page is skipped and their files are "
                "not installed");
        }
        for (const Module& module : modules) {
            const bool used = std::any_of(files_.begin(), files_.end(), [&](const Listed& f) {
                return EqualsNoCase(f.module, module.name);
            });
            if (!used) {
                Add(KeyLine("Auswahl", module.name), Severity::Warning, "module-empty",
                    "module " + Quoted(module.name) + " has no files in [Dateien]");
            }
        }
    }

    bool InstalledHere(std::string_view relative) const {
        return installedHere_.count(AsciiUpper(relative)) != 0;
    }

    void CheckShortcutsAndStart() {
        for (const std::string& key : script_->ReadSectionKeys("ShortCuts")) {
            const std::string name = LinkFileName(key);
            if (!InstalledHere(name)) {
                Add(KeyLine("ShortCuts", key), Severity::Warning, "shortcut-target",
                    "the shortcut's target " + std::string(kInstallFolder) + name +
                        " is not installed by [Dateien]; the installer leaves the shortcut out");
            }
        }
        for (const std::string& key : script_->ReadSectionKeys("Starten")) {
            const std::string file = key.substr(0, key.find(','));
            if (StartsWithNoCase(file, kInstallFolder) &&
                !InstalledHere(std::string_view(file).substr(kInstallFolder.size()))) {
                Add(KeyLine("Starten", key), Severity::Error, "start-target",
                    Quoted(file) + " is not installed by [Dateien]; opening it fails");
            }
        }
    }

    // --- update check, logo, info text, uninstaller, diskettes ------------------

    void CheckUpdate() {
        const std::string version = script_->ReadString("ProgInfos", "Version", "");
        const std::string minimum = script_->ReadString("Update", "MinimumVersionNr", "");
        const std::size_t versionLine = KeyLine("ProgInfos", "Version");
        if (std::count(version.begin(), version.end(), '.') > 1) {
            Add(versionLine, Severity::Warning, "version-form",
                "Version " + Quoted(version) +
                    " has more than one \".\"; installed versions read as major.minor with "
                    "release and build behind (2.1.0.5 reads \"2.105\")");
        }
        const std::size_t dot = version.find('.');
        const std::string_view major = std::string_view(version).substr(0, dot);
        const std::string_view minor = dot == std::string::npos
                                           ? std::string_view()
                                           : std::string_view(version).substr(dot + 1);
        const auto numeric = minimum.empty() ? std::nullopt : CompareNumerically(version, minimum);
        const int text = version.compare(minimum) < 0 ? -1 : (version == minimum ? 0 : 1);
        if (numeric && *numeric != text) {
            Add(versionLine, Severity::Warning, "version-text",
                "Version " + Quoted(version) + " is compared as text: it counts as " +
                    (text < 0    ? "lower"
                     : text == 0 ? "equal"
                                 : "higher") +
                    " than MinimumVersionNr " + Quoted(minimum));
        } else if ((major.size() > 1 && Number(major)) ||
                   (minor.size() == 2 && minor.front() != '0' && Number(minor))) {
            Add(versionLine, Severity::Warning, "version-text",
                "Version " + Quoted(version) +
                    " is compared as text, not as numbers (\"1.10\" counts as lower than \"1.9\", "
                    "\"10.0\" than \"9.5\")");
        }
        if (!script_->ReadBool("Update", "Anbieten", false)) {
            return;
        }
        const std::size_t line = KeyLine("Update", "Anbieten");
        if (script_->ReadString("Registry", "SoftwareKey", "").empty()) {
            Add(line, Severity::Error, "update-incomplete",
                "the update check needs [Registry] SoftwareKey to find the installed product");
        }
        if (script_->ReadString("ProgInfos", "Uninstaller", "").empty()) {
            Add(line, Severity::Error, "update-incomplete",
                "the update check needs an uninstaller: without it no uninstall entry is written");
        }
        const std::string exe = script_->ReadString("Update", "ExeName", "");
        if (exe.empty()) {
            Add(line, Severity::Error, "update-incomplete",
                "the update check needs [Update] ExeName, the program whose version it compares");
        } else if (!InstalledHere(exe)) {
            Add(KeyLine("Update", "ExeName"), Severity::Error, "update-incomplete",
                "ExeName " + Quoted(exe) + " is not installed into the installation folder");
        }
    }

    void CheckPictureAndInfo() {
        const std::string logo = script_->ReadString("ProgInfos", "Logo", "");
        if (!logo.empty()) {
            const std::string extension = AsciiLower(ExtensionOf(logo));
            if (extension != ".bmp" && extension != ".ico" && extension != ".wmf" &&
                extension != ".emf") {
                Add(KeyLine("ProgInfos", "Logo"), Severity::Warning, "logo-format",
                    "the logo " + Quoted(logo) +
                        " is not loaded: the installer shows .bmp, .ico, .wmf and .emf only");
            } else if (!IsExistingFile(folder_ + logo)) {
                Add(KeyLine("ProgInfos", "Logo"), Severity::Warning, "logo-missing",
                    "the logo " + Quoted(logo) + " is not on the medium");
            }
        }
        const std::string info = script_->ReadString("Infodatei", "Dateiname", "");
        const std::int32_t mode = script_->ReadInteger("Infodatei", "Anzeigen", 0);
        if (!info.empty() && (mode == 1 || mode == 2) &&
            info.find_first_of("\\:") == std::string::npos && !IsExistingFile(folder_ + info)) {
            Add(KeyLine("Infodatei", "Dateiname"), Severity::Error, "info-missing",
                "the info file " + Quoted(info) + " is not on the medium");
        }
    }

    void CheckUninstaller() {
        const std::string name = script_->ReadString("ProgInfos", "Uninstaller", "");
        if (name.empty()) {
            return;
        }
        const std::size_t line = KeyLine("ProgInfos", "Uninstaller");
        if (!IsExistingFile(folder_ + name)) {
            Add(line, Severity::Error,
                disks_.size() > 1 ? "uninstaller-diskettes" : "uninstaller-missing",
                "the uninstaller " + Quoted(name) + " is not on " +
                    (disks_.size() > 1 ? "the first diskette" : "the medium") +
                    "; no uninstall log is written");
        }
        if (disks_.size() > 1 && !IsExistingFile(disks_.back() + name)) {
            Add(line, Severity::Error, "uninstaller-diskettes",
                "the uninstaller " + Quoted(name) +
                    " is not on the last diskette, where the installer places it from");
        }
    }

    void CheckDiskettes() {
        const std::int32_t count = script_->ReadInteger("Disketten", "Anzahl", 1);
        const bool listed = !script_->ReadSectionKeys("Dateien").empty();
        for (const IniText::Located& at : lines_) {
            const std::string_view section = at.section;
            if (!StartsWithNoCase(section, "Diskette") || section.size() == 8) {
                continue;
            }
            const auto number = Number(section.substr(8));
            if (!number) {
                continue;
            }
            if (at.header && listed && !reportedIgnored_) {
                reportedIgnored_ = true;
                Add(at.line, Severity::Warning, "diskettes-ignored",
                    "[" + std::string(section) +
                        "] is not read: the diskette lists count only when [Dateien] is empty");
            } else if (at.header && !listed &&
                       *number > static_cast<std::uint32_t>(std::max(count, 0))) {
                Add(at.line, Severity::Warning, "diskette-count",
                    "[" + std::string(section) + "] is not read: [Disketten] Anzahl is " +
                        std::to_string(count));
            } else if (!at.header && !listed && at.value && !at.value->empty()) {
                Add(at.line, Severity::Warning, "diskette-target",
                    "the target " + Quoted(*at.value) +
                        " is ignored: files of diskette lists go to the installation folder");
            }
        }
    }

    const CheckOptions& options_;
    std::vector<std::string> disks_;
    std::string folder_;
    std::optional<IniText> ini_;
    std::vector<IniText::Located> lines_;
    std::optional<IniFile> script_;
    std::vector<Listed> files_;
    std::set<std::string> installedHere_;
    bool usesDiskettes_ = false;
    bool reportedIgnored_ = false;
    std::vector<Diagnostic> diagnostics_;
};

}  // namespace

std::vector<std::string> DisketteFolders(std::string_view folder) {
    std::vector<std::string> disks;
    for (std::size_t disk = 1;; ++disk) {
        const std::string number = std::to_string(disk);
        std::string found;
        for (const std::string& name : {"Diskette " + number, "Diskette" + number}) {
            if (IsExistingFolder(std::string(folder) + name)) {
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
    return Checker(folder, options).Run();
}

}  // namespace setup::medium
