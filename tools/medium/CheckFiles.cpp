// The checks of the medium's files: each listed file on the medium (or on its
// diskette) and spelt as listed, the logo and the info text, the uninstaller on
// the diskettes the installer takes it from, and the diskette lists themselves.
#include <algorithm>

#include "Checker.h"
#include "base/AsciiText.h"
#include "install/DisketteFiles.h"
#include "system/PathHelpers.h"

namespace setup::medium::checking {

using platform::IniText;

std::vector<Checker::FileKey> Checker::ListedFiles() {
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

std::string Checker::DiskFolder(std::size_t disk) const {
    return disks_.empty() ? folder_ : disks_[std::min(disk, disks_.size()) - 1];
}

void Checker::CheckFiles() {
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
            Add(file.line, Severity::Error, "missing-file", Quoted(name) + " is not on " + where);
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
void Checker::NoteTarget(const std::string& key, const std::string& installed) {
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

void Checker::CheckSpelling(std::size_t line, const std::string& path, std::string_view name) {
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

void Checker::CheckPictureAndInfo() {
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

void Checker::CheckUninstaller() {
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

void Checker::CheckDiskettes() {
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

}  // namespace setup::medium::checking
