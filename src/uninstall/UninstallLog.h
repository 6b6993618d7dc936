// The uninstall log as the installation left it, read and checked as a whole
// before anything is removed: an INI file beside the uninstaller with
//   [Programm]   Name = the program's name; SoftwareKey = the uninstall entry
//   [Ordner]     the installation folder = "1" existed before / "0" created, then
//                each further folder the installation made (its parents, the
//                target folders of files) = "0"
//   [Dateien]    one installed file per key = "1" / "0"
//   [ProgGruppe] the program group folder = "1" / "0"
//   [ShortCuts]  one shortcut file per key = "1" / "0"
//   [Registry]   the file type association's previous state and SoftwareKey.
// Values are read by the profile rules (blanks around them dropped, one pair of
// enclosing quotes removed), so a value written quoted comes back byte for byte.
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
    // "NeuerTypVorher": the installed type's key existed before (older logs lack it),
    // with its default value "NeuerTypBeschreibung" and open command "NeuerTypProgramm".
    bool newTypeExisted = false;
    std::string newTypeDescription;
    std::string newTypeCommand;
};

struct UninstallLog {
    std::string programName;
    std::optional<LoggedPath> installFolder;  // with trailing backslash
    std::vector<LoggedPath> folders;          // all of [Ordner], the installation folder first
    std::optional<LoggedPath> groupFolder;    // with trailing backslash
    std::vector<LoggedPath> files;
    std::vector<LoggedPath> shortcuts;
    std::optional<LoggedAssociation> association;
    // [Programm] SoftwareKey, else [Registry] SoftwareKey; empty: no uninstall entry.
    std::string softwareKey;
};

enum class LogProblem {
    None,
    Missing,       // the file can't be read
    Damaged,       // no program name or folder, or the file ends in the middle of a line
    InvalidEntry,  // an entry that is incomplete or names something it must not
};

struct LogReadResult {
    std::optional<UninstallLog> log;  // set exactly when problem is None
    LogProblem problem = LogProblem::None;
    std::string entry;  // the offending entry for InvalidEntry, as "[Section] key=value"
};

// Answers whether a drive letter names a local drive.
using LocalDriveCheck = bool (*)(char letter);

// Checks and parses the log's bytes in one pass, without asking the system
// anything: every path must be an absolute local one (LogPaths), on a drive the
// check accepts (all drives when it is null).
LogReadResult ParseUninstallLog(std::string_view bytes, LocalDriveCheck isLocalDrive = nullptr);

// Reads the file once through the seam and parses it; only fixed and removable
// drives, by the system's answer, count as local.
LogReadResult ReadUninstallLog(std::string_view path);

// The log's text for what it still names: values quoted for the profile rules.
std::string UninstallLogText(const UninstallLog& log);

}  // namespace setup::uninstall
