#ifdef _WIN32

#include "GuiTestSupport.h"

#include <cstring>

namespace setup::testing {
namespace {

DialogScript* g_script = nullptr;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

}  // namespace

class MediumOs::MediumSystem final : public platform::SystemInfo {
  public:
    MediumSystem(platform::SystemInfo& real, std::string programPath)
        : real_(real), programPath_(std::move(programPath)) {}
    std::string WindowsFolder() override { return real_.WindowsFolder(); }
    std::string SystemFolder() override { return real_.SystemFolder(); }
    bool IsWindowsNT() override { return real_.IsWindowsNT(); }
    std::uint32_t TickCount() override { return real_.TickCount(); }
    void Sleep(std::uint32_t milliseconds) override { real_.Sleep(milliseconds); }
    std::string ProgramPath() override { return programPath_; }
    std::uint32_t SystemColor(int index) override { return real_.SystemColor(index); }
    std::string FormatShortDate(const platform::CalendarTime& time) override {
        return real_.FormatShortDate(time);
    }
    std::string FormatLongTime(const platform::CalendarTime& time) override {
        return real_.FormatLongTime(time);
    }
    int CompareText(std::string_view a, std::string_view b) override {
        return real_.CompareText(a, b);
    }

  private:
    platform::SystemInfo& real_;
    std::string programPath_;
};

MediumOs::MediumOs(platform::Os& real, std::string programPath)
    : real_(real), system_(std::make_unique<MediumSystem>(real.System(), std::move(programPath))) {}

platform::SystemInfo& MediumOs::System() {
    return *system_;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
    if (IsWindowVisible(window) && ClassOf(window) == "#32770") {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

DialogSnapshot Snapshot(HWND dialog) {
    DialogSnapshot shot;
    shot.captured = true;
    shot.caption = WindowText(dialog);
    HWND owner = GetWindow(dialog, GW_OWNER);
    shot.ownerEnabled = owner == nullptr || IsWindowEnabled(owner);
    HWND focus = GetFocus();
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = ClassOf(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            shot.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        } else if (kind == "Static" && shot.text.empty()) {
            shot.text = WindowText(child);
        } else if (kind == "Button") {
            shot.buttons.push_back(WindowText(child));
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                shot.defaultButton = shot.buttons.back();
            }
            if (child == focus) {
                shot.focused = shot.buttons.back();
            }
        }
    }
    return shot;
}

DialogScript::DialogScript(std::vector<DialogStep> steps) : steps_(std::move(steps)) {
    g_script = this;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, timer_);
    g_script = nullptr;
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_script != nullptr) {
        g_script->OnTick();
    }
}

void DialogScript::OnTick() {
    HWND dialog = FindThreadDialog();
    if (Done()) {
        if (dialog == nullptr || !IsWindowEnabled(dialog)) {
            return;
        }
        if (dialog != lastDialog_) {
            lastDialog_ = dialog;
            stuckTicks_ = 0;
            unexpected_.push_back(Snapshot(dialog));
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        } else if (++stuckTicks_ == 5) {
            for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (ClassOf(child) == "Button") {
                    PostMessageA(child, BM_CLICK, 0, 0);
                    break;
                }
            }
        }
        return;
    }
    if (dialog == nullptr || !IsWindowEnabled(dialog) ||
        (dialog == lastDialog_) != steps_[next_].again) {
        return;
    }
    lastDialog_ = dialog;
    const DialogStep step = steps_[next_++];
    snapshots_.push_back(Snapshot(dialog));
    if (step.inspect) {
        step.inspect(dialog);
    }
    HWND focus = GetFocus();
    HWND target = focus != nullptr && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    switch (step.action) {
        case DialogAction::Enter:
            PostMessageA(target, WM_KEYDOWN, VK_RETURN, 1);
            break;
        case DialogAction::Escape:
            PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
            break;
        case DialogAction::CloseBox:
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case DialogAction::Click:
            for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (ClassOf(child) == "Button" && WindowText(child) == step.button) {
                    PostMessageA(child, BM_CLICK, 0, 0);
                }
            }
            break;
        case DialogAction::Observe:
            break;
    }
}

bool PumpFor(int milliseconds, const std::function<bool(MSG&)>& preTranslate,
             const std::function<bool()>& until) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        if (until && until()) {
            return true;
        }
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT) {
            return false;
        }
        if (preTranslate && preTranslate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

}  // namespace setup::testing

#endif  // _WIN32
