// The verbs of the session language and what they act on: the installer under
// test with its headless host, the emulated system's input, and the actions the
// runner has scheduled. The runner (Session.cpp) looks a verb up by its name and
// calls its handler; a new verb is one row of the table in SessionVerbs.cpp.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainForm.h"
#include "ui/headless/HeadlessHost.h"
#include "ui/headless/Session.h"

namespace setup::ui::headless {

struct ScheduledAction {
    int pump;  // the message pump it is due at, counted from the start
    std::string action;
    int line;
};

struct SessionContext {
    SessionContext(const std::vector<std::string>& arguments, SimulatedInput& simulated)
        : form(host, arguments), input(simulated) {}

    // A failure of the script line being carried out.
    void Fail(std::string_view message) {
        host.Fail("line " + std::to_string(line) + ": " + std::string(message));
    }

    HeadlessHost host;  // before the form, which keeps a reference to it
    app::TMainForm form;
    SimulatedInput& input;
    std::vector<ScheduledAction> scheduled;
    std::vector<std::string> media;  // medium changes waiting for the source prompt
    int pumps = 0;
    int line = 0;
    // Writes the window to the transcript when it changed, and opens the window
    // when it is not open yet (set by the runner).
    std::function<void()> showScreen;
    std::function<void()> openWindow;
    // The exit code of the last uninstaller run; set: the session is about the
    // uninstaller, and the installer is not started for it.
    std::optional<int> uninstallExit;
};

using VerbHandler = void (*)(SessionContext& session, std::string_view rest, std::string_view verb);

// One verb of the script language. `opensWindow`: the window is opened before it
// runs (the others prepare answers and events for the start-up); `needsProgram`:
// it acts on the window, so it fails once the program ended.
struct Verb {
    std::string_view name;
    bool opensWindow;
    bool needsProgram;
    VerbHandler run;
};

// The verb of that name; nothing for an unknown one.
const Verb* FindVerb(std::string_view name);

// "hurry": from now on dialogs without a queued answer are answered as a hurried
// user does, also those at the start-up; then it clicks "&Weiter..", "&Ja", "OK"
// or "&Beenden" until the program ends (SessionHurry.cpp).
void Hurry(SessionContext& session, std::string_view rest, std::string_view verb);

// "uninstall [/TEST]": the uninstaller started from the uninstall entry's
// command, its dialogs answered like the installer's (SessionUninstall.cpp).
void Uninstall(SessionContext& session, std::string_view rest, std::string_view verb);

// "expect ...": the checks on the window and on the emulated system
// (SessionExpectations.cpp).
void Expect(SessionContext& session, std::string_view what, std::string_view verb);

}  // namespace setup::ui::headless
