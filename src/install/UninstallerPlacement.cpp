// Putting the shipped uninstaller in place: it is installed like a listed file
// into a target folder (the intermediate copy), copied from there to its place
// beside the uninstall log, and the intermediate copy is removed again unless the
// list itself installed a file of that path or a file of that path was there before.
#include <algorithm>

#include "app/MainForm.h"
#include "install/FileResult.h"
#include "platform/Os.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup::app {

int TMainForm::PlaceUninstaller(const std::string& folder, int& answer) {
    const std::vector<std::string> listedTargets = installedTargets_;
    const std::string& source = state_.UninstallerSource;
    const bool archive = AsciiLower(ExtensionOf(source)) == ".zip" || source.ends_with('_');
    const int result = InstallOneFile(archive, source, FileDateOf(source), folder, answer);
    // Only a copy this run made is the shipped uninstaller: after a failure the
    // path may name an earlier archive's entry, after "&Nein" a file the user kept.
    if (state_.TestMode || (result != install::ResultNew && result != install::ResultReplaced)) {
        return result;
    }
    // Written, the path was a full local one; spelled as the copy page showed it.
    const std::string intermediate =
        CanonicalLocalPath(folder + (archive ? state_.ZipEntryName : FileNameOf(source)))
            .value_or(std::string());
    auto& files = platform::CurrentOs().Files();
    // The program group's shortcut and the uninstall entry point at it once placed.
    state_.UninstallerPlaced = files.CopyFile(intermediate, state_.UninstallExePath, false);
    const bool listed = std::find(listedTargets.begin(), listedTargets.end(),
                                  AsciiUpper(intermediate)) != listedTargets.end();
    // A file that was there before ("&Ja" replaced it) is not the installer's to delete.
    if (result == install::ResultNew && !listed) {
        // A copy from a read-only medium is read-only itself.
        files.SetAttributes(intermediate, platform::attr::kNormal);
        // One that stays is logged, so that the uninstaller removes it.
        if (!files.DeleteFile(intermediate) && state_.UninstallerPresent &&
            state_.UninstallLogOpen && state_.UninstallLog) {
            try {
                state_.UninstallLog->WriteBool("Dateien", intermediate, false);
            } catch (const SetupError& error) {
                // The log counts as failed now, and the finish page reports it.
                ShowErrorBox(error.Message());
            }
        }
    }
    return state_.UninstallerPlaced ? result : install::ResultCopyFailed;
}

}  // namespace setup::app
