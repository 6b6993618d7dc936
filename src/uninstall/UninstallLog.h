// The uninstall log as the installation left it, read and checked as a whole
// before anything is removed: an INI file beside the uninstaller with
//   [Programm]   Name = the program's name
//   [Ordner]     the installation folder = "1" existed before / "0" created
//   [Dateien]    one installed file per key = "1" / "0"
//   [ProgGruppe] the program group folder = "1" / "0"
//   [ShortCuts]  one shortcut file per key = "1" / "0"
//   [Registry]   the file type association's previous state and SoftwareKey.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup::uninstall {

struct LoggedPath {
    std::string path;
    bool existedBefore = false;
};

// The association as it was before the installation changed it.
struct LoggedAssociation {
    std::string extension;             // "Dateierweiterung": the key under the classes root
    std::string previousType;          // "Dateityp": the extension's default value before
    std::string previousDescription;   // "Beschreibung": that type's default value
    std::string previousCommand;       // "Programm": its shell\open\command default value
    bool extensionWasNew = false;      // "IstNeueErweiterung": the extension key did not exist
    bool previousTypeExisted = false;  // "IstNeuerTyp": the previous type's key could be opened
    std::string newType;               // "NeuerTypName": the type the installation set
};

struct UninstallLog {
    std::string programName;
    std::optional<LoggedPath> installFolder;  // with trailing backslash
    std::optional<LoggedPath> groupFolder;    // with trailing backslash
    std::vector<LoggedPath> files;
    std::vector<LoggedPath> shortcuts;
    std::optional<LoggedAssociation> association;
    std::string softwareKey;  // empty: no uninstall entry was written
};

enum class LogProblem {
    None,
    Missing,       // the file can't be read
    Damaged,       // no program name, or the file ends in the middle of a line
    InvalidEntry,  // an entry that is incomplete or names something it must not
};

struct LogReadResult {
    std::optional<UninstallLog> log;  // set exactly when problem is None
    LogProblem problem = LogProblem::None;
    std::string entry;  // the offending entry for InvalidEntry, as "[Section] key=value"
};

LogReadResult ReadUninstallLog(std::string_view path);

}  // namespace setup::uninstall
