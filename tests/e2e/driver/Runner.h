// The runner: carries out a scenario's steps on Setup.exe as a user would. It
// starts the program, finds its windows and controls the way a user finds them,
// clicks, types and presses keys, and waits, within a time, for what a step needs.
// The steps are rows of the table in RunnerSteps.cpp; the checks of what the user
// sees and of the system's state are in RunnerExpectations.cpp.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ScenarioReader.h"
#include "Screen.h"

namespace e2e {

inline constexpr DWORD kWaitMs = 30000;    // how long a step waits for what it needs
inline constexpr DWORD kPollMs = 100;      // how often it looks again
inline constexpr DWORD kMessageMs = 1500;  // how long a sent message may take before going on

class Failure {
  public:
    explicit Failure(std::wstring what) : what_(std::move(what)) {}
    const std::wstring& What() const { return what_; }

  private:
    std::wstring what_;
};

// Waits until `found` gives a result; throws with `waitingFor` after the time.
template <typename T>
T WaitFor(const std::wstring& waitingFor, const std::function<T()>& found, DWORD ms = kWaitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (T result = found()) {
            return result;
        }
        if (GetTickCount() - start > ms) {
            throw Failure(L"waited " + std::to_wstring(ms / 1000) + L" s for " + waitingFor);
        }
        Sleep(kPollMs);
    }
}

using Args = std::vector<std::wstring>;

class Runner {
  public:
    Runner(std::wstring name, std::wstring shots, std::wstring snapshotFolder)
        : name_(std::move(name)),
          shots_(std::move(shots)),
          snapshotFolder_(std::move(snapshotFolder)) {}
    ~Runner() { EndProgram(); }

    // The step's arguments as its handler takes them; throws for an unknown step
    // or a wrong number of arguments.
    Args Checked(const Step& step) const;
    void Run(const Step& step);
    void Screenshot(const std::wstring& shot);
    // Ends a program that the scenario left running.
    void EndProgram();

    // What the steps do.
    void Start(const Args& args);
    void Launch(const wchar_t* program, std::wstring command, const std::wstring& folder);
    HWND WaitWindow(const std::wstring& caption, DWORD processId);
    void WaitGone(HWND hwnd, const std::wstring& what);
    // The windows of the program that a user can work with now: a modal dialog
    // disables the main window, so only the dialog's controls are usable.
    HWND UsableControl(const std::wstring& name);
    void Click(HWND control);
    void Answer(const Args& args);
    void Select(const Args& args);
    void Press(const Args& args);
    // Lets the program take the message and settle before the next step looks.
    void Settle();
    void Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The checks (RunnerExpectations.cpp).
    void ExpectText(const std::wstring& text);
    void ExpectItems(const Args& args);
    void ExpectExited(const Args& args);
    void Snapshot(const std::wstring& folder);
    void ExpectUnchanged(const std::wstring& folder);

  private:
    std::vector<WindowInfo> ProgramWindows() const { return VisibleTopLevel(processId_); }
    std::wstring SnapshotFile(const std::wstring& folder) const;

    std::wstring name_;
    std::wstring shots_;
    std::wstring snapshotFolder_;  // the scenario's folder
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

}  // namespace e2e
