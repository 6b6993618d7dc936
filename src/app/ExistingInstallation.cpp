// The start checks: the script must exist, an earlier installation of the same
// program is looked up through its uninstall entry and log, its version is
// compared with this setup's, and the info text page may come first.
#include "app/MainForm.h"
#include "app/ProgramVersion.h"
#include "app/WidgetNames.h"
#include "platform/Os.h"
#include "system/Error.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "system/RegistryValues.h"

namespace setup::app {
namespace {

constexpr std::string_view kBreak = "\n\r\r";

// The program an uninstall entry's command names: quoted, as this installer
// writes it, or the whole value, as earlier installations wrote it.
std::string_view UninstallProgram(std::string_view command) {
    if (command.starts_with('"')) {
        command.remove_prefix(1);
        return command.substr(0, command.find('"'));
    }
    return command;
}

}  // namespace

void TMainForm::RunStartChecks() {
    state_.ScriptPath = state_.SourceDir + "Setup.ini";
    if (!state_.ScriptFound) {
        MessageDlg(
            "Das Installationsscript \"Setup.ini\" wurde nicht gefunden! Die Installation wird "
            "abgebrochen.",
            DialogKind::Error, kButtonOk);
        Terminate();
    }

    int result = ExistingNoFolder;
    if (state_.UpdateCheckEnabled) {
        ExistingInstallation found = LookupExistingInstallation();
        result = found.result;
        if (!found.folder.empty()) {
            AskAboutExistingInstallation(found);
        }
    }

    bool showInfo = !state_.InfoFileName.empty() &&
                    (state_.InfoDisplayMode == 2 ||
                     (state_.InfoDisplayMode == 1 && result < ExistingNotUpdatableParallel));
    if (showInfo) {
        ShowInfoText(state_.InfoFileName, state_.InfoShowOk, state_.InfoShowYes, state_.InfoShowNo,
                     state_.InfoShowCancel);
        state_.PageIndex = page::kInfoText;
    } else {
        state_.PageIndex = page::kTargetFolder;
    }
}

ExistingInstallation TMainForm::LookupExistingInstallation() {
    ExistingInstallation found;
    IniFile script(state_.ScriptPath);
    std::string softwareKey = script.ReadString("Registry", "SoftwareKey", "");
    if (softwareKey.empty()) {
        return found;
    }
    // Opened for reading only: a check must not leave an empty key behind.
    std::string uninstallString;
    if (auto key = platform::CurrentOs().Reg().Open(platform::RegRoot::LocalMachine,
                                                    std::string(kUninstallKey) + softwareKey)) {
        uninstallString = ReadRegistryString(*key, "UninstallString");
    }
    const std::string_view program = UninstallProgram(uninstallString);
    if (program.empty()) {
        return found;
    }
    IniFile earlierLog(ReplaceExtension(program, ".ini"));
    auto folders = earlierLog.ReadSectionKeys("Ordner");
    found.folder = folders.empty() ? std::string() : folders.front();
    if (found.folder.empty()) {
        found.result = ExistingNoFolder;
        return found;
    }
    ExistingVersion evaluated = EvaluateExistingVersion(found.folder);
    found.result = evaluated.result;
    found.version = evaluated.version;
    return found;
}

ExistingVersion TMainForm::EvaluateExistingVersion(std::string_view folder) {
    IniFile script(state_.ScriptPath);
    std::string exeName = script.ReadString("Update", "ExeName", "");
    bool parallel = script.ReadBool("Update", "ParallelInstallation", true);

    ExistingVersion evaluated;
    std::string program = AddTrailingBackslash(folder) + exeName;
    if (IsExistingFile(program)) {
        evaluated.version = FileVersionString(program);
    }
    if (evaluated.version.empty()) {
        evaluated.result = parallel ? ExistingNoVersion : ExistingNotUpdatable;
        return evaluated;
    }

    std::string minimum = script.ReadString("Update", "MinimumVersionNr", "");
    std::string current = script.ReadString("ProgInfos", "Version", "");
    std::string& installed = evaluated.version;
    if (current.size() < installed.size()) {
        installed.resize(current.size());
    }
    // Texts compare byte by byte (std::string compares as unsigned characters):
    // 10.0 sorts before 9.5.
    if (!minimum.empty() && installed.compare(minimum) <= 0) {
        evaluated.result = parallel ? ExistingNotUpdatableParallel : ExistingNotUpdatable;
    } else if (installed < current) {
        evaluated.result = ExistingOlder;
    } else if (installed == current) {
        evaluated.result = ExistingSame;
    } else {
        evaluated.result = ExistingNewer;
    }
    return evaluated;
}

void TMainForm::AskAboutExistingInstallation(const ExistingInstallation& found) {
    const std::string& name = Caption(kProgName);
    // This setup's version as the label shows it after "Version ".
    std::string_view thisVersion = Caption(kVersion);
    if (thisVersion.starts_with("Version ")) {
        thisVersion.remove_prefix(std::string_view("Version ").size());
    }
    const std::string quoted = "\"" + name + "\"";
    auto found_in = [&](std::string_view what) {
        return "Im Ordner " + found.folder + std::string(what) + found.version + " des Programms " +
               quoted + " gefunden." + std::string(kBreak);
    };
    const std::string noUpdate = found_in(" wurde die Version ") +
                                 "Ein Update dieser Version ist mit der aktuellen Version " +
                                 std::string(thisVersion) + " nicht m\xF6glich." +
                                 std::string(kBreak);

    std::string text;
    switch (found.result) {
        case ExistingNoVersion:
            text = "Im Ordner " + found.folder + " wurde eine existierende Version des Programms " +
                   quoted + " gefunden." + std::string(kBreak) +
                   "M\366chten Sie die existierende Installation \374berschreiben?" +
                   std::string(kBreak);
            break;
        case ExistingOlder:
            text = found_in(" wurde die \xE4ltere Version ") +
                   "M\366chten Sie diese durch die aktuelle Version " + std::string(thisVersion) +
                   " ersetzen?" + std::string(kBreak);
            break;
        case ExistingSame:
            text = found_in(" wurde eine existierende Version ") +
                   "M\366chten Sie diese trotzdem \374berschreiben?" + std::string(kBreak);
            break;
        case ExistingNewer:
            text = found_in(" wurde die aktuellere Version ") +
                   "M\366chten Sie diese mit der \xE4lteren Version " + std::string(thisVersion) +
                   " \374berschreiben?" + std::string(kBreak);
            break;
        case ExistingNotUpdatableParallel:
            MessageDlg(noUpdate +
                           "Bitte installieren Sie das Programm in einen anderen Ordner oder "
                           "brechen Sie die Installation ab.",
                       DialogKind::Warning, kButtonOk);
            return;
        case ExistingNotUpdatable:
            MessageDlg(noUpdate +
                           "Bitte entfernen Sie die existierende Version zuerst. Die "
                           "Installation wird nun abgebrochen.",
                       DialogKind::Error, kButtonOk);
            Close();
            return;
        default:
            return;
    }
    int reply = MessageDlg(text, DialogKind::Confirmation, kButtonYes | kButtonNo | kButtonCancel);
    if (reply == answer::kYes) {
        SetInstallDir(found.folder);
    } else if (reply == answer::kCancel) {
        Close();
    }
}

}  // namespace setup::app
