#include "uninstall/UninstallLog.h"

#include <array>
#include <cstdint>
#include <span>

#include "platform/IniText.h"
#include "platform/Os.h"
#include "system/PathHelpers.h"
#include "uninstall/LogPaths.h"

namespace setup::uninstall {
namespace {

constexpr std::string_view kProgram = "Programm";
constexpr std::string_view kRegistry = "Registry";
constexpr std::string_view kSoftwareKey = "SoftwareKey";
constexpr std::size_t kWhole = std::string::npos;  // values are never cut

// The association's records in the order the installer writes them, each a text
// or a "0"/"1" flag; the first seven are always there, the last three (the
// installed type's own state) only in newer logs.
struct AssociationRecord {
    std::string_view key;
    std::string LoggedAssociation::*text;
    bool LoggedAssociation::*flag;
};
constexpr AssociationRecord kAssociation[] = {
    {"Dateierweiterung", &LoggedAssociation::extension, nullptr},
    {"Dateityp", &LoggedAssociation::previousType, nullptr},
    {"Beschreibung", &LoggedAssociation::previousDescription, nullptr},
    {"Programm", &LoggedAssociation::previousCommand, nullptr},
    {"IstNeueErweiterung", nullptr, &LoggedAssociation::extensionWasNew},
    {"IstNeuerTyp", nullptr, &LoggedAssociation::previousTypeExisted},
    {"NeuerTypName", &LoggedAssociation::newType, nullptr},
    {"NeuerTypVorher", nullptr, &LoggedAssociation::newTypeExisted},
    {"NeuerTypBeschreibung", &LoggedAssociation::newTypeDescription, nullptr},
    {"NeuerTypProgramm", &LoggedAssociation::newTypeCommand, nullptr},
};
constexpr unsigned kAlwaysLogged = 0x7F;  // the first seven
constexpr unsigned kAllLogged = 0x3FF;

class LogReader {
  public:
    LogReader(std::string_view bytes, LocalDriveCheck isLocalDrive)
        : ini_(std::string(bytes)), isLocalDrive_(isLocalDrive) {}

    const std::string& Invalid() const { return invalid_; }

    // A value by the profile rules; nothing when the key (or its "=") is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const {
        auto stored = ini_.Find(section, key);
        return stored ? std::optional(platform::ProfileResult(*stored, kWhole)) : std::nullopt;
    }

    // Every key of a section with its "1"/"0" flag; paths of the given kind.
    std::vector<LoggedPath> Paths(std::string_view section, PathKind kind,
                                  std::string_view extension = {}) {
        std::vector<LoggedPath> paths;
        for (const auto& [key, stored] : ini_.Entries(section)) {
            const std::string value = platform::ProfileResult(stored, kWhole);
            const bool extensionOk = extension.empty() || EqualsNoCase(ExtensionOf(key), extension);
            if (!IsSafeLocalPath(key, kind) || !extensionOk || (value != "0" && value != "1") ||
                !LocalDrive(key[0])) {
                Reject(section, key, value);
                break;
            }
            paths.push_back({std::string(key), value == "1"});
        }
        return paths;
    }

    std::optional<LoggedAssociation> Association() {
        LoggedAssociation a;
        unsigned present = 0;
        for (unsigned i = 0; i < std::size(kAssociation); ++i) {
            const AssociationRecord& record = kAssociation[i];
            const std::optional<std::string> value = Value(kRegistry, record.key);
            if (!value) {
                continue;
            }
            present |= 1u << i;
            if (record.text != nullptr) {
                a.*record.text = *value;
            } else if (*value == "0" || *value == "1") {
                a.*record.flag = *value == "1";
            } else {
                Reject(kRegistry, record.key, *value);
            }
        }
        if (present == 0) {
            return std::nullopt;
        }
        // Part of the association missing: the log is incomplete, and undoing
        // half of it could leave the extension pointing nowhere. What the
        // installed type held must be there when it existed before.
        const unsigned missing = (a.newTypeExisted ? kAllLogged : kAlwaysLogged) & ~present;
        for (unsigned i = 0; i < std::size(kAssociation); ++i) {
            if ((missing >> i & 1) != 0) {
                Reject(kRegistry, kAssociation[i].key, "");
            }
        }
        if (!IsSafeKeyName(a.extension)) {
            Reject(kRegistry, kAssociation[0].key, a.extension);
        } else if (!a.previousType.empty() && !IsSafeKeyName(a.previousType)) {
            Reject(kRegistry, kAssociation[1].key, a.previousType);
        } else if (!IsSafeKeyName(a.newType) || EqualsNoCase(a.newType, a.extension)) {
            Reject(kRegistry, kAssociation[6].key, a.newType);
        }
        return invalid_.empty() ? std::optional(a) : std::nullopt;
    }

    // [Programm] SoftwareKey names the entry from the log's first lines on; an
    // older log has it in [Registry] only. Both present must agree.
    std::string SoftwareKey() {
        const auto inProgram = Value(kProgram, kSoftwareKey);
        const auto inRegistry = Value(kRegistry, kSoftwareKey);
        if (inProgram && inRegistry && !EqualsNoCase(*inProgram, *inRegistry)) {
            Reject(kProgram, kSoftwareKey, *inProgram);
        }
        const std::optional<std::string>& key = inProgram ? inProgram : inRegistry;
        if (key && !IsSafeKeyName(*key)) {
            Reject(inProgram ? kProgram : kRegistry, kSoftwareKey, *key);
        }
        return key.value_or("");
    }

    bool HasFolder() const { return !ini_.Entries("Ordner").empty(); }

  private:
    // The system's answer for each drive, asked once.
    bool LocalDrive(char letter) {
        if (isLocalDrive_ == nullptr) {
            return true;
        }
        std::int8_t& known = drives_[static_cast<std::size_t>(AsciiUpperChar(letter) - 'A')];
        if (known == 0) {
            known = isLocalDrive_(letter) ? 1 : -1;
        }
        return known > 0;
    }

    void Reject(std::string_view section, std::string_view key, std::string_view value) {
        if (invalid_.empty()) {
            invalid_ =
                "[" + std::string(section) + "] " + std::string(key) + "=" + std::string(value);
        }
    }

    platform::IniText ini_;
    LocalDriveCheck isLocalDrive_;
    std::array<std::int8_t, 26> drives_{};
    std::string invalid_;
};

bool IsLocalDrive(char letter) {
    const platform::DriveType type = platform::CurrentOs().Files().DriveTypeOf(letter);
    return type == platform::DriveType::Fixed || type == platform::DriveType::Removable;
}

void AddSection(std::string& text, std::string_view section) {
    text += "[";
    text += section;
    text += "]\r\n";
}

void AddEntry(std::string& text, std::string_view key, std::string_view value) {
    text += key;
    text += "=";
    text += platform::QuotedForProfile(value);
    text += "\r\n";
}

void AddPaths(std::string& text, std::string_view section, std::span<const LoggedPath> paths) {
    if (!paths.empty()) {
        AddSection(text, section);
    }
    for (const LoggedPath& entry : paths) {
        AddEntry(text, entry.path, entry.existedBefore ? "1" : "0");
    }
}

std::span<const LoggedPath> AsList(const std::optional<LoggedPath>& path) {
    return path ? std::span(&*path, 1) : std::span<const LoggedPath>();
}

}  // namespace

LogReadResult ParseUninstallLog(std::string_view bytes, LocalDriveCheck isLocalDrive) {
    LogReadResult result;
    LogReader reader(bytes, isLocalDrive);
    UninstallLog log;
    log.programName = reader.Value(kProgram, "Name").value_or("");
    // The installer ends every line with a line break and logs the installation
    // folder before anything else is installed: a log without either was cut off.
    if (bytes.empty() || bytes.back() != '\n' || log.programName.empty() || !reader.HasFolder()) {
        result.problem = LogProblem::Damaged;
        return result;
    }
    auto first = [](std::vector<LoggedPath> paths) {
        return paths.empty() ? std::nullopt : std::optional(std::move(paths.front()));
    };
    log.folders = reader.Paths("Ordner", PathKind::Folder);
    log.installFolder = first(log.folders);
    log.groupFolder = first(reader.Paths("ProgGruppe", PathKind::Folder));
    log.files = reader.Paths("Dateien", PathKind::File);
    log.shortcuts = reader.Paths("ShortCuts", PathKind::File, ".lnk");
    log.association = reader.Association();
    log.softwareKey = reader.SoftwareKey();
    if (!reader.Invalid().empty()) {
        result.problem = LogProblem::InvalidEntry;
        result.entry = reader.Invalid();
        return result;
    }
    result.log = std::move(log);
    return result;
}

LogReadResult ReadUninstallLog(std::string_view path) {
    auto file = platform::CurrentOs().Files().Open(path, platform::OpenMode::Read);
    const std::int64_t size = file ? file->Size() : -1;
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size < 0 || file->Read(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()),
                                         bytes.size())) != size) {
        LogReadResult result;
        result.problem = LogProblem::Missing;
        return result;
    }
    return ParseUninstallLog(bytes, IsLocalDrive);
}

std::string UninstallLogText(const UninstallLog& log) {
    std::string text;
    AddSection(text, kProgram);
    AddEntry(text, "Name", log.programName);
    if (!log.softwareKey.empty()) {
        AddEntry(text, kSoftwareKey, log.softwareKey);
    }
    AddPaths(text, "Ordner", log.folders);
    AddPaths(text, "Dateien", log.files);
    AddPaths(text, "ProgGruppe", AsList(log.groupFolder));
    AddPaths(text, "ShortCuts", log.shortcuts);
    if (log.association || !log.softwareKey.empty()) {
        AddSection(text, kRegistry);
    }
    if (const auto& a = log.association) {
        for (const AssociationRecord& record : kAssociation) {
            AddEntry(text, record.key,
                     record.text != nullptr ? std::string_view(*a.*record.text)
                                            : std::string_view(*a.*record.flag ? "1" : "0"));
        }
    }
    if (!log.softwareKey.empty()) {
        AddEntry(text, kSoftwareKey, log.softwareKey);
    }
    return text;
}

}  // namespace setup::uninstall
