#include "Runner.h"

#include <map>

#include "Console.h"
#include "RunnerSteps.h"

namespace e2e {

Args Runner::Checked(const Step& step) const {
    const StepKind* kind = FindStep(step.verb);
    if (kind == nullptr) {
        throw Failure(L"unknown step \"" + step.verb + L"\"");
    }
    Args args = step.args;
    if (args.size() < kind->minArgs) {
        throw Failure(L"too few arguments");
    }
    // Words beyond the last argument belong to it (captions and texts with blanks).
    while (args.size() > kind->maxArgs && kind->maxArgs > 0) {
        args[args.size() - 2] += L" " + args.back();
        args.pop_back();
    }
    if (args.size() > kind->maxArgs) {
        throw Failure(L"too many arguments");
    }
    return args;
}

void Runner::Run(const Step& step) {
    const Args args = Checked(step);
    const StepKind& kind = *FindStep(step.verb);
    if (!step.negated) {
        kind.run(*this, args);
        return;
    }
    try {
        kind.run(*this, args);
    } catch (const Failure&) {
        return;  // failed, as it must
    }
    throw Failure(L"the step held");
}

void Runner::Screenshot(const std::wstring& shot) {
    if (shots_.empty()) {
        return;
    }
    const std::wstring path = shots_ + L"\\" + name_ + L"-" + shot + L".bmp";
    if (!SaveScreenshot(path)) {
        Print(L"  (the screenshot " + path + L" could not be saved)\n");
    }
}

void Runner::EndProgram() {
    if (process_ != nullptr) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
        process_ = nullptr;
    }
}

HWND Runner::UsableControl(const std::wstring& name) {
    if (process_ == nullptr) {
        throw Failure(L"no program was started");
    }
    return WaitFor<HWND>(L"a usable control \"" + name + L"\"",
                         [&] { return FindControl(ProgramWindows(), name, true); });
}

void Runner::Settle() {
    if (process_ != nullptr) {
        WaitForInputIdle(process_, 2000);
    }
    Sleep(200);
}

void Runner::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, kMessageMs, &result);
}

void Runner::Start(const Args& args) {
    std::wstring command = L"\"" + args[0] + L"\"";
    for (std::size_t i = 1; i < args.size(); ++i) {
        command += L" " + args[i];
    }
    Launch(args[0].c_str(), command, args[0].substr(0, args[0].find_last_of(L"\\/:") + 1));
}

// A command line as the software list runs it: the system finds the program in it
// (a quoted path, or the first blank-separated beginning that is one).
void Runner::Launch(const wchar_t* program, std::wstring command, const std::wstring& folder) {
    EndProgram();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        throw Failure(L"the program could not be started (error " +
                      std::to_wstring(GetLastError()) + L")");
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    WaitForInputIdle(process_, 10000);
}

HWND Runner::WaitWindow(const std::wstring& caption, DWORD processId) {
    return WaitFor<HWND>(L"a window \"" + caption + L"\"", [&]() -> HWND {
        for (const auto& window : VisibleTopLevel(processId)) {
            if (Matches(caption, window.caption)) {
                return window.hwnd;
            }
        }
        return nullptr;
    });
}

void Runner::WaitGone(HWND hwnd, const std::wstring& what) {
    WaitFor<bool>(what + L" to close", [&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
}

void Runner::Click(HWND control) {
    if (ClassOf(control) == L"Button" || ClassOf(control) == L"BUTTON") {
        Send(control, BM_CLICK, 0, 0);
    } else {
        // A control of our own that reacts to the mouse: press and release inside.
        RECT r{};
        GetClientRect(control, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        Send(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(control, WM_LBUTTONUP, 0, at);
    }
    Settle();
}

void Runner::Answer(const Args& args) {
    const HWND dialog = WaitFor<HWND>(L"a dialog \"" + args[0] + L"\"", [&]() -> HWND {
        for (const auto& window : ProgramWindows()) {
            // A dialog: a dialog-class window, or one owned by another window.
            const bool isDialog =
                window.className == L"#32770" || GetWindow(window.hwnd, GW_OWNER) != nullptr;
            if (isDialog && Matches(args[0], window.caption)) {
                return window.hwnd;
            }
        }
        return nullptr;
    });
    const HWND button = WaitFor<HWND>(L"a button \"" + args[1] + L"\" in the dialog", [&] {
        return FindControl({WindowInfo{dialog, args[0], L"", 0}}, args[1], true);
    });
    Click(button);
    WaitGone(dialog, L"the dialog");
}

void Runner::Select(const Args& args) {
    const HWND list = UsableControl(args[0]);
    bool first = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        DWORD_PTR index = 0;
        if (!SendMessageTimeoutW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(args[i].c_str()), SMTO_NORMAL, kMessageMs,
                                 &index) ||
            static_cast<LRESULT>(index) == LB_ERR) {
            throw Failure(L"the list holds no item \"" + args[i] + L"\"");
        }
        DWORD_PTR top = 0, height = 0;
        SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_NORMAL, kMessageMs, &top);
        SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_NORMAL, kMessageMs, &height);
        // A click on the item; further items with Ctrl held, as a user adds them.
        const int y = static_cast<int>((index - top) * height + height / 2);
        const LPARAM at = MAKELPARAM(8, y);
        const WPARAM keys = first ? MK_LBUTTON : MK_LBUTTON | MK_CONTROL;
        Send(list, WM_LBUTTONDOWN, keys, at);
        Send(list, WM_LBUTTONUP, first ? 0 : MK_CONTROL, at);
        first = false;
    }
    Settle();
}

void Runner::Press(const Args& args) {
    static const std::map<std::wstring, WORD> keys = {
        {L"Enter", VK_RETURN}, {L"Escape", VK_ESCAPE}, {L"Tab", VK_TAB}, {L"Space", VK_SPACE}};
    const auto key = keys.find(args[0]);
    if (key == keys.end()) {
        throw Failure(L"unknown key");
    }
    const HWND window = WaitFor<HWND>(L"a window of the program", [&]() -> HWND {
        const auto windows = ProgramWindows();
        return windows.empty() ? nullptr : windows.front().hwnd;
    });
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND target = GetGUIThreadInfo(thread, &gui) && gui.hwndFocus != nullptr
                      ? gui.hwndFocus
                      : (gui.hwndActive != nullptr ? gui.hwndActive : window);
    PostMessageW(target, WM_KEYDOWN, key->second, 1);
    // Repeat count 1, previous state down, transition to up (bits 30 and 31).
    PostMessageW(target, WM_KEYUP, key->second, static_cast<LPARAM>(0xC0000001u));
    Settle();
}

}  // namespace e2e
