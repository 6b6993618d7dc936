// Helpers for driving real windows in tests: a medium folder that the form takes
// for the setup program's own, a message pump, and a script that answers modal
// dialogs (ours and the shell's) from a timer while they run.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "support/TestEnvironment.h"

namespace setup::testing {

// The real system, except that the running program seems to lie in `folder`.
class MediumOs final : public platform::Os {
  public:
    MediumOs(platform::Os& real, std::string programPath);
    platform::ProfileFiles& Profiles() override { return real_.Profiles(); }
    platform::Registry& Reg() override { return real_.Reg(); }
    platform::FileSystem& Files() override { return real_.Files(); }
    platform::SystemInfo& System() override;
    platform::MessageThread& Thread() override { return real_.Thread(); }
    platform::Shell& ShellServices() override { return real_.ShellServices(); }

  private:
    class MediumSystem;
    platform::Os& real_;
    std::unique_ptr<platform::SystemInfo> system_;
};

// Writes a file with the given bytes (text in the program's code page).
void WriteBytes(const std::string& path, const std::string& bytes);

// One dialog as a test sees it: its window texts, the icon and the buttons in
// the order of the child windows.
struct DialogSnapshot {
    std::string caption;
    std::string text;
    HICON icon = nullptr;
    std::vector<std::string> buttons;
    std::string defaultButton;  // caption of the button with the default style
    std::string focused;        // caption of the focused button
    bool ownerEnabled = true;
    bool captured = false;
};

enum class DialogAction { Enter, Escape, CloseBox, Click, Observe };

struct DialogStep {
    DialogAction action = DialogAction::Observe;
    std::string button;  // for Click: the caption
    bool again = false;  // acts on the dialog the step before saw (else waits for a new one)
    // Called with the dialog window before the action (for extra checks).
    std::function<void(HWND)> inspect;
};

// Answers the dialogs that appear while it lives, one step per dialog (a step
// marked `again` acts on the same dialog as the step before); Snapshots() holds
// what each step saw.
class DialogScript {
  public:
    explicit DialogScript(std::vector<DialogStep> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    const std::vector<DialogSnapshot>& Snapshots() const { return snapshots_; }
    bool Done() const { return next_ >= steps_.size(); }
    // Dialogs that appeared after the last step: they were escaped (or, when that
    // does not close them, answered with their first button) so that no test hangs.
    const std::vector<DialogSnapshot>& Unexpected() const { return unexpected_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<DialogStep> steps_;
    std::vector<DialogSnapshot> snapshots_;
    std::vector<DialogSnapshot> unexpected_;
    std::size_t next_ = 0;
    int stuckTicks_ = 0;
    HWND lastDialog_ = nullptr;
    UINT_PTR timer_ = 0;
};

// The visible dialog window (class #32770) of this thread, if any.
HWND FindThreadDialog();
DialogSnapshot Snapshot(HWND dialog);

// Dispatches the thread's messages for `milliseconds`, passing each through
// `preTranslate` first; stops early when `until` is true. Returns false when a
// quit request arrived (it is consumed).
bool PumpFor(int milliseconds, const std::function<bool(MSG&)>& preTranslate = {},
             const std::function<bool()>& until = {});

std::string WindowText(HWND window);

}  // namespace setup::testing

#endif  // _WIN32
