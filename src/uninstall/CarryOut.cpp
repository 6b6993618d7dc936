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
    auto add = [&](std::string path, bool logged) {
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
        folders.insert(at, {std::move(path), logged});
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
    if (log.groupFolder && !log.groupFolder->existedBefore) {
        add(log.groupFolder->path, true);
    }
    // The installation folder and every further one it made, also when the file
    // meant for it failed.
    for (const LoggedPath& made : log.folders) {
        if (!made.existedBefore) {
            add(made.path, true);
        }
    }
    return folders;
}

// Removes the entries logged as made by the installation; keeps in `paths` what
// the log still names afterwards: those that existed before and those that stayed.
void RemoveLogged(std::vector<LoggedPath>& paths, std::string_view what, Removal& removal,
                  std::vector<std::string>& removed) {
    std::size_t left = 0;
    for (LoggedPath& entry : paths) {
        if (!entry.existedBefore && removal.RemoveFile(entry.path, what)) {
            removed.push_back(entry.path);
        } else {
            paths[left++] = std::move(entry);
        }
    }
    paths.resize(left);
}

// A running program's file can't be deleted, but it can be renamed: it goes to a
// name of its own beside it first, so that its path is free at once (for the
// uninstaller of a new installation), and that name is deleted once the program
// has ended, at the latest when Windows starts again.
void RemoveProgram(const std::string& program, Removal& removal) {
    platform::FileSystem& files = platform::CurrentOs().Files();
    std::string aside;
    auto claimed = platform::CreateTemporaryBeside(files, program, "~del", aside);
    const bool moved = claimed && claimed->Close() && files.MoveFile(program, aside, true);
    claimed.reset();
    if (!moved) {
        if (!aside.empty()) {
            files.DeleteFile(aside);
        }
        removal.Kept(PathText(program) + " (konnte nicht gel\xF6scht werden)");
    } else if (!files.DeleteWhenUnused(aside)) {
        removal.Kept(PathText(aside) + " (konnte nicht gel\xF6scht werden)");
    } else if (files.GetAttributes(aside) != platform::attr::kInvalid) {
        removal.Outcome().programLeftAt = aside;
    }
}

}  // namespace

UninstallOutcome CarryOut(UninstallLog& log, const UninstallFiles& files, bool testMode) {
    Removal removal(testMode);
    std::vector<std::string> removed;
    RemoveLogged(log.shortcuts, "Verkn\xFCpfung", removal, removed);
    RemoveLogged(log.files, "Datei", removal, removed);
    for (const FolderToRemove& folder : FoldersToRemove(log, removed)) {
        removal.RemoveFolderIfEmpty(folder.path, folder.logged);
    }
    if (log.association) {
        const std::size_t failures = removal.Failures();
        UndoAssociation(*log.association, removal);
        if (removal.Failures() == failures) {
            log.association.reset();
        }
    }
    if (!removal.Outcome().retryNeeded && !log.softwareKey.empty()) {
        RemoveUninstallEntry(log.softwareKey, removal);
    }
    // With something of the installation left, the software list keeps offering
    // the uninstaller, and the log names what a second run has to remove.
    if (removal.Outcome().retryNeeded) {
        if (!testMode) {
            // Should this fail, the complete log before the run still serves.
            const std::string text = UninstallLogText(log);
            platform::WriteFileReplacing(
                platform::CurrentOs().Files(), files.logPath,
                std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        }
        return removal.Outcome();
    }
    removal.RemoveFile(files.logPath, "Deinstallationsdatei", false);
    const bool programThere =
        platform::CurrentOs().Files().GetAttributes(files.programPath) != platform::attr::kInvalid;
    if (programThere && EqualsNoCase(FolderOf(files.programPath), files.windowsFolder)) {
        if (testMode) {
            removal.Describe("Deinstallationsprogramm l\xF6schen: " + PathText(files.programPath));
        } else {
            RemoveProgram(files.programPath, removal);
        }
    }
    return removal.Outcome();
}

}  // namespace setup::uninstall
