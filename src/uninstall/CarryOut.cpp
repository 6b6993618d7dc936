#include "uninstall/CarryOut.h"

#include <algorithm>

#include "system/PathHelpers.h"
#include "uninstall/RegistryUndo.h"

namespace setup::uninstall {
namespace {

struct FolderToRemove {
    std::string path;
    bool logged;  // the log names it as made by the installation: report it when it stays
};

std::size_t Depth(std::string_view path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

// The folders to try once the files are gone: those below the installation
// folder that held a removed file (up to the installation folder), and the group
// and installation folders when the installation made them. Innermost first, so
// that a folder is tried after everything inside it.
std::vector<FolderToRemove> FoldersToRemove(const UninstallLog& log,
                                            const std::vector<std::string>& removed) {
    std::vector<FolderToRemove> folders;
    auto add = [&](std::string path, bool logged) {
        for (FolderToRemove& folder : folders) {
            if (EqualsNoCase(folder.path, path)) {
                folder.logged = folder.logged || logged;
                return;
            }
        }
        folders.push_back({std::move(path), logged});
    };
    if (log.installFolder) {
        const std::string& top = log.installFolder->path;
        for (const std::string& file : removed) {
            for (std::string folder = FolderOf(file);
                 folder.size() > top.size() && StartsWithNoCase(folder, top);
                 folder = FolderOf(folder.substr(0, folder.size() - 1))) {
                add(folder, false);
            }
        }
    }
    for (const auto& logged : {log.groupFolder, log.installFolder}) {
        if (logged && !logged->existedBefore) {
            add(logged->path, true);
        }
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const auto& a, const auto& b) { return Depth(a.path) > Depth(b.path); });
    return folders;
}

void RemoveLogged(const std::vector<LoggedPath>& paths, std::string_view what, Removal& removal,
                  std::vector<std::string>& removed) {
    for (const LoggedPath& entry : paths) {
        if (!entry.existedBefore && removal.RemoveFile(entry.path, what)) {
            removed.push_back(entry.path);
        }
    }
}

}  // namespace

UninstallOutcome CarryOut(const UninstallLog& log, const UninstallFiles& files, bool testMode) {
    Removal removal(testMode);
    std::vector<std::string> removed;
    RemoveLogged(log.shortcuts, "Verkn\xFCpfung", removal, removed);
    RemoveLogged(log.files, "Datei", removal, removed);
    if (log.installFolder && !log.installFolder->existedBefore) {
        // The installation script's copy, which the installer leaves in a folder it
        // made unless the wizard was ended with its finish buttons.
        removal.RemoveFile(log.installFolder->path + "Setup.ini", "Datei");
    }
    for (const FolderToRemove& folder : FoldersToRemove(log, removed)) {
        removal.RemoveFolderIfEmpty(folder.path, folder.logged);
    }
    if (log.association) {
        UndoAssociation(*log.association, removal);
    }
    // With something left to retry, the software list keeps offering the
    // uninstaller, which needs its log.
    if (removal.Outcome().retryNeeded) {
        return removal.Outcome();
    }
    if (!log.softwareKey.empty()) {
        RemoveUninstallEntry(log.softwareKey, removal);
    }
    removal.RemoveFile(files.logPath, "Deinstallationsdatei");
    const bool programThere =
        platform::CurrentOs().Files().GetAttributes(files.programPath) != platform::attr::kInvalid;
    if (programThere && EqualsNoCase(FolderOf(files.programPath), files.windowsFolder)) {
        if (testMode) {
            removal.Describe("Deinstallationsprogramm l\xF6schen: " + files.programPath);
        } else if (!platform::CurrentOs().Files().DeleteWhenUnused(files.programPath)) {
            removal.Kept(files.programPath + " (konnte nicht gel\xF6scht werden)");
        }
    }
    return removal.Outcome();
}

}  // namespace setup::uninstall
