// Putting the shipped uninstaller in place: it is installed like a listed file
// into a target folder (the intermediate copy), copied from there to its place
// beside the uninstall log, and the intermediate copy is removed again unless the
// list itself installed a file of that path or a file of that path was there before.
#include <algorithm>

#include "app/MainForm.h"
#include "install/FileResult.h"
#include "platform/Os.h"
#include "system/PathHelpers.h"

namespace setup::app {

void TMainForm::PlaceUninstaller(const std::string& folder, int& answer) {
    const std::vector<std::string> listedTargets = installedTargets_;
    const std::string& source = state_.UninstallerSource;
    const bool archive = AsciiLower(ExtensionOf(source)) == ".zip" || source.ends_with('_');
    const int result = InstallOneFile(archive, source, folder, answer);
    if (state_.TestMode) {
        return;
    }
    // Only a copy this run made is the shipped uninstaller: after a failure the
    // path may name an earlier archive's entry, after "&Nein" a file the user kept.
    if (result != install::ResultNew && result != install::ResultReplaced) {
        return;
    }
    // Written, the path was a full local one; spelled as the copy page showed it.
    const std::string intermediate =
        CanonicalLocalPath(folder + (archive ? state_.ZipEntryName : FileNameOf(source)))
            .value_or(std::string());
    auto& files = platform::CurrentOs().Files();
    if (!files.CopyFile(intermediate, state_.UninstallExePath, false)) {
        return;
    }
    // The program group's shortcut and the uninstall entry point at it now.
    state_.UninstallerPlaced = true;
    const bool listed = std::find(listedTargets.begin(), listedTargets.end(),
                                  AsciiUpper(intermediate)) != listedTargets.end();
    // A file that was there before ("&Ja" replaced it) is not the installer's to delete.
    if (result == install::ResultNew && !listed) {
        // A copy from a read-only medium is read-only itself.
        files.SetAttributes(intermediate, platform::attr::kNormal);
        files.DeleteFile(intermediate);
    }
}

}  // namespace setup::app
