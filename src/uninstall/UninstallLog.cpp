#include "uninstall/UninstallLog.h"

#include <array>
#include <cstdint>
#include <span>

#include "platform/Os.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "uninstall/LogPaths.h"

namespace setup::uninstall {
namespace {

constexpr std::string_view kRegistry = "Registry";

// The last byte of the file, or nothing when it can't be read or is empty. The
// profile functions end every line they write with a line break, so a log that
// ends without one was cut off while it was written or copied.
std::optional<char> LastByte(std::string_view path, bool& readable) {
    auto file = platform::CurrentOs().Files().Open(path, platform::OpenMode::Read);
    readable = file != nullptr;
    const std::int64_t size = file ? file->Size() : -1;
    if (size <= 0 || !file->Seek(static_cast<std::uint64_t>(size - 1))) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 1> byte{};
    if (file->Read(byte) != 1) {
        return std::nullopt;
    }
    return static_cast<char>(byte[0]);
}

class LogReader {
  public:
    explicit LogReader(std::string_view path) : ini_(std::string(path)) {}

    const std::string& Invalid() const { return invalid_; }

    // Every key of a section with its "1"/"0" flag; paths of the given kind.
    std::vector<LoggedPath> Paths(std::string_view section, PathKind kind,
                                  std::string_view extension = {}) {
        std::vector<LoggedPath> paths;
        for (const std::string& key : ini_.ReadSectionKeys(section)) {
            const std::string value = ini_.ReadString(section, key, "");
            const bool extensionOk = extension.empty() || EqualsNoCase(ExtensionOf(key), extension);
            if (!IsSafeLocalPath(key, kind) || !extensionOk || (value != "0" && value != "1")) {
                Reject(section, key, value);
                break;
            }
            paths.push_back({key, value == "1"});
        }
        return paths;
    }

    std::optional<LoggedAssociation> Association() {
        static constexpr std::array<std::string_view, 7> kKeys = {
            "Dateierweiterung",   "Dateityp",    "Beschreibung", "Programm",
            "IstNeueErweiterung", "IstNeuerTyp", "NeuerTypName"};
        const std::vector<std::string> present = ini_.ReadSectionKeys(kRegistry);
        auto has = [&](std::string_view key) {
            for (const std::string& name : present) {
                if (EqualsNoCase(name, key)) {
                    return true;
                }
            }
            return false;
        };
        bool any = false;
        for (std::string_view key : kKeys) {
            any = any || has(key);
        }
        if (!any) {
            return std::nullopt;
        }
        LoggedAssociation a;
        a.extension = Text(kKeys[0]);
        a.previousType = Text(kKeys[1]);
        a.previousDescription = Text(kKeys[2]);
        a.previousCommand = Text(kKeys[3]);
        a.newType = Text(kKeys[6]);
        // Part of the association missing: the log is incomplete, and undoing
        // half of it could leave the extension pointing nowhere.
        for (std::string_view key : kKeys) {
            if (!has(key)) {
                Reject(kRegistry, key, "");
                return std::nullopt;
            }
        }
        if (!IsSafeKeyName(a.extension)) {
            Reject(kRegistry, kKeys[0], a.extension);
        } else if (!a.previousType.empty() && !IsSafeKeyName(a.previousType)) {
            Reject(kRegistry, kKeys[1], a.previousType);
        } else if (!IsSafeKeyName(a.newType) || EqualsNoCase(a.newType, a.extension)) {
            Reject(kRegistry, kKeys[6], a.newType);
        } else if (!Flag(kKeys[4], a.extensionWasNew) || !Flag(kKeys[5], a.previousTypeExisted)) {
            return std::nullopt;
        }
        return invalid_.empty() ? std::optional(a) : std::nullopt;
    }

    std::string SoftwareKey() {
        const std::vector<std::string> present = ini_.ReadSectionKeys(kRegistry);
        for (const std::string& name : present) {
            if (EqualsNoCase(name, "SoftwareKey")) {
                std::string key = Text("SoftwareKey");
                if (!IsSafeKeyName(key)) {
                    Reject(kRegistry, name, key);
                }
                return key;
            }
        }
        return {};
    }

    std::string ProgramName() { return ini_.ReadString("Programm", "Name", ""); }

  private:
    std::string Text(std::string_view key) { return ini_.ReadString(kRegistry, key, ""); }

    bool Flag(std::string_view key, bool& flag) {
        const std::string value = Text(key);
        if (value != "0" && value != "1") {
            Reject(kRegistry, key, value);
            return false;
        }
        flag = value == "1";
        return true;
    }

    void Reject(std::string_view section, std::string_view key, std::string_view value) {
        if (invalid_.empty()) {
            invalid_ =
                "[" + std::string(section) + "] " + std::string(key) + "=" + std::string(value);
        }
    }

    IniFile ini_;
    std::string invalid_;
};

}  // namespace

LogReadResult ReadUninstallLog(std::string_view path) {
    LogReadResult result;
    bool readable = false;
    const std::optional<char> last = LastByte(path, readable);
    if (!readable) {
        result.problem = LogProblem::Missing;
        return result;
    }
    LogReader reader(path);
    UninstallLog log;
    log.programName = reader.ProgramName();
    if (last != '\n' || log.programName.empty()) {
        result.problem = LogProblem::Damaged;
        return result;
    }
    auto first = [](std::vector<LoggedPath> paths) {
        return paths.empty() ? std::nullopt : std::optional(std::move(paths.front()));
    };
    log.installFolder = first(reader.Paths("Ordner", PathKind::Folder));
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

}  // namespace setup::uninstall
