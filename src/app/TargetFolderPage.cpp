// The target-folder page: the folder dialog, and preparing the folder when the
// page is left (create it, record it in the uninstall log, copy the script).
#include "app/CreateFolderPath.h"
#include "app/MainForm.h"
#include "platform/Os.h"
#include "platform/TemporaryBeside.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup::app {

void TMainForm::BtnSuchenClick() {
    std::string chosen = BrowseForFolder(platform::csidl::kDrives, "Zielverzeichnis ausw\xE4hlen:");
    if (!chosen.empty()) {
        SetInstallDir(AddTrailingBackslash(chosen));
    }
}

// The shell's dialog, rooted at `rootCsidl` and opening on the field's folder.
std::string TMainForm::BrowseForFolder(int rootCsidl, std::string_view title) {
    return host_.BrowseForFolder(rootCsidl, title, InstallDir());
}

bool TMainForm::PrepareTargetFolder() {
    // Every later step builds its paths on the field: spelled as Windows names
    // the folder, they are the paths the uninstall log can name.
    const std::optional<std::string> canonical = CanonicalLocalPath(InstallDir());
    if (canonical) {
        SetInstallDir(*canonical);
    }
    if (state_.TestMode) {
        return true;
    }
    // A relative, drive-relative or network path would be created somewhere
    // the log can't name: refused, as an empty text is, before anything is made.
    if (!canonical) {
        throw SetupError("Das Verzeichnis kann nicht erstellt werden");
    }
    const std::string folder = InstallDir();
    platform::FileSystem& files = platform::CurrentOs().Files();
    const bool existed = platform::IsFolder(files, folder);
    std::vector<std::string> made;
    CreateFolderPath(folder, [&made](std::string_view path) { made.emplace_back(path); });
    // Only a folder that is there: the log keeps its records from run to run.
    if (!platform::IsFolder(files, folder)) {
        return false;
    }
    UninstallLogFile* log =
        state_.UninstallerPresent && state_.UninstallLogOpen && state_.UninstallLog
            ? &*state_.UninstallLog
            : nullptr;
    if (log != nullptr) {
        // The installation folder first: it is the one an update looks for.
        log->SetExisted("Ordner", folder, existed);
        for (const std::string& parent : made) {
            log->SetExisted("Ordner", parent + "\\", false);
        }
        log->Save();
    }
    const std::string medium = state_.SourceDir + "Setup.ini";
    const std::string copy = folder + "Setup.ini";
    // A file of that name there is not the installer's: the medium's script serves.
    state_.ScriptCopied = false;
    if (!IsExistingFile(copy)) {
        // The copy stays when the wizard is not ended with its finish buttons: the
        // uninstaller removes it only as a file the log names as made here, so it
        // is logged before it is made.
        const bool added = log != nullptr && log->RecordAhead("Dateien", copy, false);
        state_.ScriptCopied = files.CopyFile(medium, copy, true);
        // The later steps read the script while another diskette may be in the
        // drive: without the copy the page stays, for another folder or a retry.
        if (!state_.ScriptCopied) {
            if (added) {
                log->Withdraw("Dateien", copy);
            }
            MessageDlg("Die Datei Setup.ini konnte nicht kopiert werden!", DialogKind::Error,
                       kButtonOk);
            return false;
        }
    }
    state_.ScriptPath = state_.ScriptCopied ? copy : medium;
    return true;
}

}  // namespace setup::app
