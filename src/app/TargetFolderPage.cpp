// The target-folder page: the folder dialog, and preparing the folder when the
// page is left (create it, record it in the uninstall log, copy the script).
#include "app/CreateFolderPath.h"
#include "app/MainForm.h"
#include "platform/Os.h"
#include "system/PathHelpers.h"

namespace setup::app {

void TMainForm::BtnSuchenClick() {
    std::string chosen = BrowseForFolder(platform::csidl::kDrives, "Zielverzeichnis auswählen:");
    if (!chosen.empty()) {
        SetInstallDir(AddTrailingBackslash(chosen));
    }
}

// The shell's dialog, rooted at `rootCsidl` and opening on the field's folder.
std::string TMainForm::BrowseForFolder(int rootCsidl, std::string_view title) {
    return host_.BrowseForFolder(rootCsidl, title, InstallDir());
}

bool TMainForm::PrepareTargetFolder() {
    if (state_.TestMode) {
        return true;
    }
    const std::string folder = InstallDir();
    const bool existed = IsExistingFolder(folder);
    CreateFolderPath(folder);
    // Only a folder that is there: the log keeps its records from run to run.
    if (!IsExistingFolder(folder)) {
        return false;
    }
    if (state_.UninstallerPresent && state_.UninstallLogOpen && state_.UninstallLog) {
        state_.UninstallLog->WriteBool("Ordner", folder, existed);
    }
    const std::string medium = state_.SourceDir + "Setup.ini";
    const std::string copy = folder + "Setup.ini";
    state_.ScriptCopied = platform::CurrentOs().Files().CopyFile(medium, copy, true);
    state_.ScriptPath = state_.ScriptCopied ? copy : medium;
    return true;
}

}  // namespace setup::app
