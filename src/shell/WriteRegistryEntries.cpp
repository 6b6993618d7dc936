// The registry step: the file type association (the previous values read first
// and logged, so that the uninstaller can restore them) and the uninstall entry,
// each logged before it is written: a failure half way leaves nothing unlogged.
// A re-installation keeps the log's record of what was there before the first.
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "base/AsciiText.h"
#include "platform/Os.h"
#include "system/IniFile.h"
#include "system/Placeholders.h"
#include "system/RegistryValues.h"

namespace setup::app {
namespace {

using platform::RegRoot;

// The association as it was before this step.
struct PreviousAssociation {
    bool extensionIsNew = false;
    std::string type;
    bool typeExisted = false;
    std::string description;
    std::string command;
    // The type the installation sets, as it was before: an existing type (say
    // "txtfile") gets its description and command back, not deleted.
    bool newTypeExisted = false;
    std::string newTypeDescription;
    std::string newTypeCommand;
};

// Opens the key for reading and reads its default value; a key that can't be
// opened reads as empty. Reports whether it could be opened.
bool ReadDefault(std::string_view key, std::string& value) {
    auto opened = platform::CurrentOs().Reg().Open(RegRoot::ClassesRoot, FromRoot(key));
    value = opened ? ReadRegistryString(*opened, "") : std::string();
    return opened != nullptr;
}

PreviousAssociation ReadPreviousAssociation(std::string_view extension, std::string_view newType) {
    PreviousAssociation previous;
    previous.extensionIsNew = !ReadDefault(extension, previous.type);
    // An empty type names the classes root itself, which always opens.
    previous.typeExisted = ReadDefault(previous.type, previous.description);
    ReadDefault(previous.type + "\\shell\\open\\command", previous.command);
    previous.newTypeExisted = ReadDefault(newType, previous.newTypeDescription);
    ReadDefault(std::string(newType) + "\\shell\\open\\command", previous.newTypeCommand);
    return previous;
}

constexpr std::string_view kNotAKeyName =
    "\" ist kein g\xFCltiger Name f\xFCr einen Schl\xFCssel der Registrierung.";

// Why the association can't be written so that the uninstaller can take it back,
// or nothing when it can: each name must be one key right under the classes root
// (a backslash would address a deeper key, "*" is the key of all files), and the
// type must differ from the extension, or undoing one would undo the other.
std::string AssociationProblem(const std::string& extension, const std::string& fileType,
                               const std::string& previousType) {
    for (const std::string* name : {&extension, &fileType, &previousType}) {
        if (!IsSingleKeyName(*name) && !(name == &previousType && name->empty())) {
            return "\"" + *name + std::string(kNotAKeyName);
        }
    }
    if (EqualsNoCase(extension, fileType)) {
        return "Dateityp und Dateierweiterung sind gleich (\"" + fileType + "\").";
    }
    return {};
}

}  // namespace

void TMainForm::WriteRegistryEntries() {
    const IniFile script(state_.ScriptPath);
    const std::string extension = script.ReadString("Registry", "DateiErweiterung", "");
    const std::string fileType = script.ReadString("Registry", "Dateityp", "");
    const std::string description = script.ReadString("Registry", "Beschreibung", "");
    const std::string program = ExpandPlaceholders(script.ReadString("Registry", "Programm", ""),
                                                   InstallDir(), state_.ProgramGroupName);
    const std::string softwareKey = script.ReadString("Registry", "SoftwareKey", "");
    const std::string maker = script.ReadString("ProgInfos", "Firma", "zelvox");
    const bool logging = !state_.TestMode && state_.UninstallerPresent && state_.UninstallLog;

    const bool association =
        !extension.empty() && !description.empty() && !fileType.empty() && !program.empty();
    const PreviousAssociation previous =
        association ? ReadPreviousAssociation(extension, fileType) : PreviousAssociation();
    const std::string problem =
        association ? AssociationProblem(extension, fileType, previous.type) : std::string();
    if (!problem.empty()) {
        MessageDlg("Die Dateizuordnung wird nicht eingetragen: " + problem, DialogKind::Error,
                   kButtonOk);
    }
    // An uninstall entry needs its key name alone, as the log records it.
    const bool keyUsable = softwareKey.empty() || IsSingleKeyName(softwareKey);
    if (!keyUsable && logging && state_.UninstallerPlaced) {
        MessageDlg("Der Eintrag zur Deinstallation wird nicht angelegt: \"" + softwareKey +
                       std::string(kNotAKeyName),
                   DialogKind::Error, kButtonOk);
    }

    if (association && problem.empty()) {
        if (logging) {
            UninstallLogFile& log = *state_.UninstallLog;
            // An earlier run's records of the same extension (and type) tell what
            // was there before the first installation; what is there now is ours.
            const bool sameExtension =
                EqualsNoCase(log.Read("Registry", "Dateierweiterung"), extension);
            const bool sameType =
                sameExtension && EqualsNoCase(log.Read("Registry", "NeuerTypName"), fileType);
            constexpr std::string_view kFlag[] = {"0", "1"};
            const std::pair<std::string_view, std::string_view> records[] = {
                {"Dateierweiterung", extension},
                {"Dateityp", previous.type},
                {"Beschreibung", previous.description},
                {"Programm", previous.command},
                {"IstNeueErweiterung", kFlag[previous.extensionIsNew]},
                {"IstNeuerTyp", kFlag[previous.typeExisted]},
                {"NeuerTypName", fileType},
                {"NeuerTypVorher", kFlag[previous.newTypeExisted]},
                {"NeuerTypBeschreibung", previous.newTypeDescription},
                {"NeuerTypProgramm", previous.newTypeCommand},
            };
            for (std::size_t i = 0; i < std::size(records); ++i) {
                if (i < 6 ? !sameExtension : !sameType) {
                    log.Set("Registry", records[i].first, records[i].second);
                }
            }
            log.Save();
        }
        WriteRegistryString(RegRoot::ClassesRoot, extension, "", fileType);
        WriteRegistryString(RegRoot::ClassesRoot, fileType, "", description);
        // Both paths quoted: a program or a document path with blanks stays one
        // argument, and the program path can't be misread as a shorter one.
        WriteRegistryString(RegRoot::ClassesRoot, fileType + "\\shell\\open\\command", "",
                            "\"" + program + "\" \"%1\"");
    }

    if (!softwareKey.empty() && logging && keyUsable && state_.UninstallerPlaced) {
        state_.UninstallLog->Set("Registry", "SoftwareKey", softwareKey);
        state_.UninstallLog->Save();
        const std::string key = std::string(kUninstallKey) + softwareKey;
        WriteRegistryString(RegRoot::LocalMachine, key, "DisplayName",
                            maker + " " + Caption(kProgName));
        // Quoted: unquoted, "Uninstall Beispiel Pro.exe" would start "Uninstall
        // Beispiel.exe" with the argument "Pro.exe" when that one is installed too.
        WriteRegistryString(RegRoot::LocalMachine, key, "UninstallString",
                            "\"" + state_.UninstallExePath + "\"");
    }
}

}  // namespace setup::app
