#include "uninstall/CarryOut.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/TemporaryBeside.h"
#include "system/PathHelpers.h"
#include "uninstall/RegistryUndo.h"

namespace setup::uninstall {
namespace {

struct FolderToRemove {
    std::string path;
    bool logged;  // the log names it as made by the installation: report it when it stays
    // A removed file that lay in it, for a folder the log does not name: kept in
    // the log when the folder fails to go (missing now, so a second run counts it
    // as removed), it has the second run try the folder again.
    const std::string* file;
};

std::size_t Depth(std::string_view path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

// The folders to try once the files are gone: those below the installation
// folder that held a removed file (up to the installation folder), and the group,
// installation and further logged folders when the installation made them. Innermost first, so
// that a folder is tried after everything inside it.
std::vector<FolderToRemove> FoldersToRemove(const UninstallLog& log,
                                            const std::vector<std::string>& removed) {
    std::vector<FolderToRemove> folders;
    auto add = [&](std::string path, bool logged, const std::string* file) {
        for (FolderToRemove& folder : folders) {
            if (EqualsNoCase(folder.path, path)) {
                folder.logged = folder.logged || logged;
                return;
            }
        }
        // Behind every folder at least as deep.
        auto at = folders.begin();
        while (at != folders.end() && Depth(at->path) >= Depth(path)) {
            ++at;
        }
        folders.insert(at, {std::move(path), logged, file});
    };
    if (log.installFolder) {
        const std::string& top = log.installFolder->path;
        for (const std::string& file : removed) {
            for (std::string folder = FolderOf(file);
                 folder.size() > top.size() && StartsWithNoCase(folder, top);
                 folder = FolderOf(folder.substr(0, folder.size() - 1))) {
                add(folder, false, &file);
            }
        }
    }
    if (log.groupFolder && !log.groupFolder->existedBefore) {
        add(log.groupFolder->path, true, nullptr);
    }
    // The installation folder and every further one it made, also when the file
    // meant for it failed.
    for (const LoggedPath& made : log.folders) {
        if (!made.existedBefore) {
            add(made.path, true, nullptr);
        }
    }
    return folders;
}

// Removes the entries logged as made by the installation; keeps in `paths` what
// the log still names afterwards: those that existed before and those that stayed.
void RemoveLogged(std::vector<LoggedPath>& paths, std::string_view what, Removal& removal,
                  std::vector<std::string>& removed) {
    std::size_t left = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i].existedBefore && removal.RemoveFile(paths[i].path, what)) {
            removed.push_back(paths[i].path);
        } else if (left++ != i) {  // moving an entry onto itself would empty it
            paths[left - 1] = std::move(paths[i]);
        }
    }
    paths.resize(left);
}

// A running program's file can't be deleted, but it can be renamed: it goes to a
// name of its own beside it first, so that its path is free at once (for the
// uninstaller of a new installation). Empty when that failed; nothing is left.
std::string MoveAside(const std::string& program) {
    platform::FileSystem& files = platform::CurrentOs().Files();
    std::string aside;
    auto claimed = platform::CreateTemporaryBeside(files, program, "~del", aside);
    const bool moved = claimed && claimed->Close() && files.MoveFile(program, aside, true);
    claimed.reset();
    if (!moved && !aside.empty()) {
        files.DeleteFile(aside);
        aside.clear();
    }
    return aside;
}

// The uninstall entry, the program and the log, which together let a second run
// finish the job, go last and together: when one of them can't go, the others
// stay too. The program is renamed aside first, as that can be undone, then the
// entry goes, then the renamed program is deleted once it has ended (at the
// latest when Windows starts again), and last the log.
void RemoveUninstaller(const UninstallLog& log, const UninstallFiles& files, Removal& removal) {
    platform::FileSystem& fs = platform::CurrentOs().Files();
    const std::string& program = files.programPath;
    std::string aside;
    bool programStays = false;
    if (fs.GetAttributes(program) != platform::attr::kInvalid &&
        EqualsNoCase(FolderOf(program), files.windowsFolder)) {
        if (removal.TestMode()) {
            removal.Describe("Deinstallationsprogramm l\xF6schen: " + PathText(program));
        } else {
            programStays = (aside = MoveAside(program)).empty();
        }
    }
    const bool entryStays = !programStays && !log.softwareKey.empty() &&
                            !RemoveUninstallEntry(log.softwareKey, removal);
    programStays = programStays || (!entryStays && !aside.empty() && !fs.DeleteWhenUnused(aside));
    if (programStays || entryStays) {
        // Back to its path, so that the entry still starts it.
        if (!aside.empty()) {
            fs.MoveFile(aside, program, false);
        }
        if (programStays) {
            removal.Failed(PathText(program) + " (konnte nicht gel\xF6scht werden)");
        }
        return;
    }
    if (!aside.empty() && fs.GetAttributes(aside) != platform::attr::kInvalid) {
        removal.Outcome().programLeftAt = aside;
    }
    removal.RemoveFile(files.logPath, "Deinstallationsdatei", false);
}

}  // namespace

UninstallOutcome CarryOut(UninstallLog& log, const UninstallFiles& files, bool testMode) {
    Removal removal(testMode);
    std::vector<std::string> removed;
    RemoveLogged(log.shortcuts, "Verkn\xFCpfung", removal, removed);
    RemoveLogged(log.files, "Datei", removal, removed);
    for (const FolderToRemove& folder : FoldersToRemove(log, removed)) {
        if (!removal.RemoveFolderIfEmpty(folder.path, folder.logged) && folder.file != nullptr) {
            log.files.push_back({*folder.file, false});
        }
    }
    if (log.association) {
        const std::size_t failures = removal.Failures();
        UndoAssociation(*log.association, removal);
        if (removal.Failures() == failures) {
            log.association.reset();
        }
    }
    if (!removal.Outcome().retryNeeded) {
        RemoveUninstaller(log, files, removal);
    }
    // With something of the installation left, the log names what a second run
    // has to remove.
    if (removal.Outcome().retryNeeded && !testMode) {
        // Should this fail, the complete log before the run still serves.
        const std::string text = UninstallLogText(log);
        platform::WriteFileReplacing(
            platform::CurrentOs().Files(), files.logPath,
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    return removal.Outcome();
}

}  // namespace setup::uninstall
