// A scripted session of the installer without a display: the user's actions
// come from a line-based script, the window's reactions go to a transcript.
// The format of both is documented in docs/simulator.md.
//
// Script lines (a "#" starts a comment line; blank lines are ignored):
//   answer CAPTION        the next dialog is answered with this button
//   browse FOLDER|cancel  the next folder dialog's choice
//   type TEXT             the target-folder field gets this text
//   click NAME|CAPTION    a button is clicked
//   key Enter|Escape      the button the window's key presses is clicked
//   select LIST ITEM[|ITEM...] / unselect LIST ITEM[|ITEM...]
//   close                 the window's close box
//   at pump N ACTION      ACTION (click, key, close, press/release KEY, type,
//                         select) happens at the Nth message pump from here on
//   expect ...            page N, visible/hidden/enabled/disabled NAME,
//                         text NAME TEXT, items LIST A, B*, InstallOk yes|no,
//                         ended, running; after the copy and shell steps:
//                         file PATH [size N] [crc X], nofile PATH,
//                         log SECTION KEY VALUE, nolog SECTION KEY,
//                         reg ROOT KEY VALUE DATA, noreg ROOT KEY [VALUE],
//                         shortcut PATH target T [description D] [folder F]
//   medium FOLDER         at the next source prompt drive D: becomes FOLDER
//   open PATH|.EXT N      the shell's "open" of this file or type returns N
//   hurry                 clicks through the wizard as a hurried user does and
//                         answers every dialog without a queued answer so
//   uninstall [/TEST]     runs the uninstaller of the medium's uninstall entry
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MessageDialog.h"

namespace setup::ui::headless {

// What a session needs from the emulated system beyond the seam.
class SimulatedInput {
  public:
    virtual ~SimulatedInput() = default;
    // Called at every message pump of the logic; empty removes it.
    virtual void SetPumpHook(std::function<void()> hook) = 0;
    virtual void SetKeyDown(int virtualKey, bool down) = 0;

    // The emulated system's parts behind the verbs of the copy and shell steps.
    // A stand-in without them answers false / nothing, and those verbs fail.
    struct OpenCall {
        std::string path;
        std::intptr_t result = 0;
    };
    struct Shortcut {
        std::string target, description, workingDirectory;
    };
    // Drive D: becomes this host folder (as written in the script); false when
    // there is no such folder.
    virtual bool MapMedium(std::string_view /*folder*/) { return false; }
    // What the shell's "open" of this file (or of files of this ".ext") returns.
    virtual bool SetOpenResult(std::string_view /*pathOrExtension*/, std::intptr_t /*result*/) {
        return false;
    }
    // Every "open" of the shell so far, in order.
    virtual std::vector<OpenCall> OpenCalls() const { return {}; }
    virtual std::optional<Shortcut> ReadShortcut(std::string_view /*path*/) { return std::nullopt; }
    // The running program's path becomes this one (the uninstaller runs as its
    // own program); false when it can't be changed.
    virtual bool SetProgramPath(std::string_view /*path*/) { return false; }
};

struct SessionResult {
    bool ok = false;
    std::vector<std::string> transcript;
    std::vector<std::string> failures;
    std::vector<app::MessageDialog> dialogs;  // every dialog asked for, in order
    bool installOk = false;                   // the installer's InstallOk at the end
    std::string uninstallLog;                 // where the installer writes its uninstall log
    std::optional<int> uninstallExit;         // the last uninstaller run's exit code
};

// Runs the installer with these command-line arguments through the script, on the
// operating system installed as the current one. Texts are Windows-1252.
SessionResult RunSession(std::string_view script, const std::vector<std::string>& arguments,
                         SimulatedInput& input);

}  // namespace setup::ui::headless
