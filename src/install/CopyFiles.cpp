// The copy phase: every file of the script's list is looked for on the medium
// (asking for the next diskette while it is missing), installed when its module
// is chosen, reported when it fails and recorded in the uninstall log; then the
// uninstaller is put in place and the page shows one of three results.
#include "app/CreateFolderPath.h"
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "install/DisketteFiles.h"
#include "install/FileResult.h"
#include "platform/Os.h"
#include "system/Error.h"
#include "system/PathHelpers.h"
#include "system/Placeholders.h"

namespace setup::app {

// The state of one run of the copy phase.
struct TMainForm::CopyRun {
    int FileAnswer = answer::kOk;  // the last answer of any dialog of the run
    std::string LastTargetFolder;  // target folder of the last file handled
    bool CopyOk = true;            // no file failed
    bool CopyComplete = true;      // nothing declined, the run not cancelled
};

namespace {

std::string SourcePrompt(std::string_view fileName) {
    return "Die Datei \"" + std::string(fileName) +
           "\" befindet sich nicht im angegebenen Quellverzeichnis.\n\r\r"
           "Bitte legen Sie den Datentr\xE4ger ein, auf dem diese Datei gespeichert ist.";
}

// The error message of a failed file, named as the script names it; `refused`
// tells why a target was refused.
std::string FailureText(int result, std::string_view fileName, std::string_view refused) {
    const std::string name(fileName);
    if (result == install::ResultArchiveUnreadable) {
        return "Probleme beim Entpacken der Datei " + name + "!";
    }
    const std::string_view rest = result != install::ResultCopyFailed ? " wurde nicht gefunden!"
                                  : refused.empty() ? " konnte nicht kopiert werden!"
                                                    : refused;
    return "Die Datei " + name + std::string(rest);
}

}  // namespace

void TMainForm::ReportFailedFile(int result, std::string_view fileName, CopyRun& run) {
    run.CopyOk = false;
    run.FileAnswer =
        MessageDlg(FailureText(result, fileName, RefusedTargetText(Caption(kLblZielDatei))),
                   DialogKind::Error, kButtonOk | kButtonCancel);
}

bool TMainForm::CopyFiles() {
    model_.SetEnabled(kBtnWeiter, false);
    CopyRun run;
    installedTargets_.clear();
    const IniFile script(state_.ScriptPath);
    // Every key counts, however many there are.
    std::vector<std::string> keys = script.ReadSectionKeys("Dateien");
    if (keys.empty()) {
        install::CollectDisketteFiles(script, keys);
    }

    if (keys.empty()) {
        MessageDlg("Auf der Installationsdiskette befinden sich keine Dateien!",
                   DialogKind::Warning, kButtonOk);
        run.CopyOk = false;
    } else {
        model_.SetVisible(kPanelDateinamen, true);
        model_.SetBusyCursor(true);
        InstallListedFiles(script, keys, run);
        if (state_.UninstallerPresent) {
            // Nothing of the list installed: the installation folder takes the copy.
            const int placed =
                PlaceUninstaller(run.LastTargetFolder.empty() ? AddTrailingBackslash(InstallDir())
                                                              : run.LastTargetFolder,
                                 run.FileAnswer);
            if (placed < 0) {
                ReportFailedFile(placed, FileNameOf(state_.UninstallerSource), run);
            }
        }
        model_.SetBusyCursor(false);
    }

    model_.SetVisible(kPanelDateinamen, false);
    ProcessMessages();
    platform::CurrentOs().System().Sleep(1000);
    std::string_view result = !run.CopyOk        ? kMsgKopierenFehler
                              : run.CopyComplete ? kMsgKopierenErfolg
                                                 : kMsgKopierenAbbruch;
    model_.SetVisible(result, true);
    model_.SetEnabled(kBtnWeiter, true);
    model_.SetFocus(kBtnWeiter);
    return run.CopyOk;
}

// The target folder of a listed file, as Windows names it. Nothing when the
// value expands to no full local path (a misspelt token, a folder value missing
// on this system): the file would land somewhere the log can't name.
std::optional<std::string> TMainForm::TargetFolder(const IniFile& script, const std::string& key) {
    std::string folder;
    try {
        folder =
            AddTrailingBackslash(ExpandPlaceholders(script.ReadString("Dateien", key, InstallDir()),
                                                    InstallDir(), state_.ProgramGroupName));
    } catch (const SetupError&) {
        return std::nullopt;  // a folder value of the wrong type: no folder either
    }
    return CanonicalLocalPath(folder.empty() ? AddTrailingBackslash(InstallDir()) : folder);
}

void TMainForm::InstallListedFiles(const IniFile& script, const std::vector<std::string>& keys,
                                   CopyRun& run) {
    const bool logging = !state_.TestMode && state_.UninstallerPresent && state_.UninstallLogOpen &&
                         state_.UninstallLog;
    // A record the log can't take ends the run: nothing more is installed.
    const auto logged = [&](const auto& record) {
        try {
            record();
            return true;
        } catch (const SetupError& error) {
            ShowErrorBox(error.Message());
            run.CopyOk = false;
            run.FileAnswer = answer::kCancel;
            return false;
        }
    };
    // Every folder made is logged before a file is written into it: should the
    // file fail, the uninstaller still removes the folder.
    const auto logFolder = [&](std::string_view made) {
        if (logging) {
            state_.UninstallLog->WriteBool("Ordner", std::string(made) + "\\", false);
        }
    };
    for (const std::string& key : keys) {
        const std::string fileName = KeyFileName(key);
        const std::string source = state_.SourceDir + fileName;
        // Checked for every key before the module test: the user is asked for
        // the medium of a file even when its module is not installed. The date
        // read here (-1: no file) serves the overwrite question as well.
        std::int32_t sourceDate = -1;
        while ((sourceDate = FileDateOf(source)) == -1 && run.FileAnswer != answer::kCancel) {
            run.FileAnswer =
                MessageDlg(SourcePrompt(fileName), DialogKind::Error, kButtonOk | kButtonCancel);
        }
        if (run.FileAnswer == answer::kCancel) {
            run.CopyComplete = false;
            return;
        }
        if (IsModuleSelected(KeyModule(key))) {
            const std::optional<std::string> folder = TargetFolder(script, key);
            int result = install::ResultCopyFailed;
            // A folder that could not be made fails its file: the extraction would
            // make it after all, unlogged.
            bool folderReady = state_.TestMode;
            if (folder) {
                run.LastTargetFolder = *folder;
                if (!state_.TestMode &&
                    !logged([&] { folderReady = CreateFolderPath(*folder, logFolder); })) {
                    return;
                }
            }
            if (folder && folderReady) {
                result =
                    InstallOneFile(KeyIsArchive(key), source, sourceDate, *folder, run.FileAnswer);
            } else {
                host_.FileHandled(source, {}, result);
            }
            if (result < 0) {
                ReportFailedFile(result, fileName, run);
            } else if (result == install::ResultDeclined) {
                run.CopyComplete = false;
            } else if (logging) {
                logged([&] {
                    state_.UninstallLog->WriteBool("Dateien", Caption(kLblZielDatei),
                                                   result == install::ResultReplaced);
                });
            }
        }
        if (run.FileAnswer == answer::kCancel) {
            return;
        }
    }
}

}  // namespace setup::app
