// The user-level test driver: starts Setup.exe and works it only through what a
// user reaches (windows and controls found by caption or class, clicks, typing,
// keys), then checks the outcome on the drive, in the registry and through the
// shell. A scenario is a text file with one step per line; tests/e2e/README.md
// lists the steps.
//
// Usage: driver SCENARIO [--shots FOLDER] [--check]
// --check only reads the scenario and checks every step's form.
// Exit status 0 when every step held, 1 when a step failed, 2 for a bad scenario.

#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Outcome.h"
#include "Screen.h"

namespace e2e {
namespace {

constexpr DWORD kWaitMs = 30000;    // how long a step waits for what it needs
constexpr DWORD kPollMs = 100;      // how often it looks again
constexpr DWORD kMessageMs = 1500;  // how long a sent message may take before going on

void Print(const std::wstring& text) {
    // The console expects the OEM code page; UTF-8 through a file or pipe.
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring FromUtf8(const std::string& bytes) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

// %NAME% from the environment; %PROGRAMS% and %DESKTOP% are set from the shell.
std::wstring Expand(const std::wstring& text) {
    std::vector<wchar_t> out(32768);
    const DWORD length =
        ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
    return length == 0 ? text : std::wstring(out.data());
}

void SetShellFolderVariable(const wchar_t* name, int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) {
        SetEnvironmentVariableW(name, path);
    }
}

// Blank-separated words; "double quotes" keep blanks inside one word.
std::vector<std::wstring> Words(const std::wstring& line) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && iswspace(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        std::wstring word;
        if (line[i] == L'"') {
            const auto end = line.find(L'"', i + 1);
            word = line.substr(i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1);
            i = end == std::wstring::npos ? line.size() : end + 1;
        } else {
            while (i < line.size() && !iswspace(line[i])) {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

struct Step {
    bool skipped = false;  // its guard does not hold: checked, not run
    bool negated = false;  // "not ...": the step must fail
    std::wstring file;     // the scenario or the file it includes
    int line = 0;
    std::wstring text;
    std::wstring verb;               // "click", "wait window", "expect file", ...
    std::vector<std::wstring> args;  // expanded
};

// Verbs of two words.
bool TakesSecondWord(const std::wstring& first) {
    return first == L"wait" || first == L"expect" || first == L"swap" || first == L"close" ||
           first == L"remove" || first == L"queue" || first == L"set" || first == L"make";
}

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

class Runner {
  public:
    using Args = std::vector<std::wstring>;

    Runner(std::wstring name, std::wstring shots, std::wstring snapshotFolder)
        : name_(std::move(name)),
          shots_(std::move(shots)),
          snapshotFolder_(std::move(snapshotFolder)) {}
    ~Runner() { EndProgram(); }

    // The step's arguments as its handler takes them; throws for an unknown step
    // or a wrong number of arguments.
    Args Checked(const Step& step) const {
        const auto handler = handlers_.find(step.verb);
        if (handler == handlers_.end()) {
            throw Failure(L"unknown step \"" + step.verb + L"\"");
        }
        const auto& count = handler->second.first;
        Args args = step.args;
        if (args.size() < count.first) {
            throw Failure(L"too few arguments");
        }
        // Words beyond the last argument belong to it (captions and texts with blanks).
        while (args.size() > count.second && count.second > 0) {
            args[args.size() - 2] += L" " + args.back();
            args.pop_back();
        }
        if (args.size() > count.second) {
            throw Failure(L"too many arguments");
        }
        return args;
    }

    void Run(const Step& step) {
        const Args args = Checked(step);
        if (!step.negated) {
            handlers_.at(step.verb).second(args);
            return;
        }
        try {
            handlers_.at(step.verb).second(args);
        } catch (const Failure&) {
            return;  // failed, as it must
        }
        throw Failure(L"the step held");
    }

    void Screenshot(const std::wstring& shot) {
        if (shots_.empty()) {
            return;
        }
        const std::wstring path = shots_ + L"\\" + name_ + L"-" + shot + L".bmp";
        if (!SaveScreenshot(path)) {
            Print(L"  (the screenshot " + path + L" could not be saved)\n");
        }
    }

    // Ends a program that the scenario left running.
    void EndProgram() {
        if (process_ != nullptr) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_, 99);
                WaitForSingleObject(process_, 5000);
            }
            CloseHandle(process_);
            process_ = nullptr;
        }
    }

  private:
    using Handler =
        std::pair<std::pair<std::size_t, std::size_t>, std::function<void(const Args&)>>;

    std::vector<WindowInfo> ProgramWindows() const { return VisibleTopLevel(processId_); }

    // The windows of the program that a user can work with now: a modal dialog
    // disables the main window, so only the dialog's controls are usable.
    HWND UsableControl(const std::wstring& name) {
        if (process_ == nullptr) {
            throw Failure(L"no program was started");
        }
        return WaitFor<HWND>(L"a usable control \"" + name + L"\"",
                             [&] { return FindControl(ProgramWindows(), name, true); });
    }

    // Lets the program take the message and settle before the next step looks.
    void Settle() {
        if (process_ != nullptr) {
            WaitForInputIdle(process_, 2000);
        }
        Sleep(200);
    }

    void Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, kMessageMs, &result);
    }

    void Start(const Args& args) {
        std::wstring command = L"\"" + args[0] + L"\"";
        for (std::size_t i = 1; i < args.size(); ++i) {
            command += L" " + args[i];
        }
        Launch(args[0].c_str(), command, args[0].substr(0, args[0].find_last_of(L"\\/:") + 1));
    }

    // A command line as the software list runs it: the system finds the program
    // in it (a quoted path, or the first blank-separated beginning that is one).
    void Launch(const wchar_t* program, std::wstring command, const std::wstring& folder) {
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

    HWND WaitWindow(const std::wstring& caption, DWORD processId) {
        return WaitFor<HWND>(L"a window \"" + caption + L"\"", [&]() -> HWND {
            for (const auto& window : VisibleTopLevel(processId)) {
                if (Matches(caption, window.caption)) {
                    return window.hwnd;
                }
            }
            return nullptr;
        });
    }

    void WaitGone(HWND hwnd, const std::wstring& what) {
        WaitFor<bool>(what + L" to close",
                      [&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
    }

    void Click(HWND control) {
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

    void Answer(const Args& args) {
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

    void Select(const Args& args) {
        const HWND list = UsableControl(args[0]);
        bool first = true;
        for (std::size_t i = 1; i < args.size(); ++i) {
            DWORD_PTR index = 0;
            if (!SendMessageTimeoutW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(args[i].c_str()), SMTO_NORMAL,
                                     kMessageMs, &index) ||
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

    void Press(const Args& args) {
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

    void ExpectText(const std::wstring& text) {
        WaitFor<bool>(L"a visible text \"" + text + L"\"", [&] {
            for (const auto& window : ProgramWindows()) {
                if (Matches(L"*" + text + L"*", window.caption)) {
                    return true;
                }
                for (const auto& control : VisibleControls(window.hwnd)) {
                    if (Matches(L"*" + text + L"*", control.caption)) {
                        return true;
                    }
                }
            }
            return false;
        });
    }

    // The items of a list, in its order, as the user reads them.
    static std::vector<std::wstring> ItemsOf(HWND list) {
        std::vector<std::wstring> items;
        DWORD_PTR count = 0;
        SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kMessageMs, &count);
        for (DWORD_PTR i = 0; i < count && i < 1000; ++i) {
            DWORD_PTR length = 0;
            SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kMessageMs, &length);
            std::wstring item(length + 1, L'\0');
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()),
                                SMTO_NORMAL, kMessageMs, &copied);
            item.resize(std::min<std::size_t>(copied, length));
            items.push_back(item);
        }
        return items;
    }

    void ExpectItems(const Args& args) {
        const HWND list = UsableControl(args[0]);
        const std::vector<std::wstring> wanted(args.begin() + 1, args.end());
        std::vector<std::wstring> found;
        try {
            WaitFor<bool>(
                L"the items", [&] { return (found = ItemsOf(list)) == wanted; }, 3000);
        } catch (const Failure&) {
            std::wstring shown;
            for (const auto& item : found) {
                shown += L" \"" + item + L"\"";
            }
            throw Failure(L"the list holds" + (shown.empty() ? L" nothing" : shown));
        }
    }

    void ExpectExited(const Args& args) {
        if (process_ == nullptr) {
            throw Failure(L"no program was started");
        }
        const DWORD ms = args.empty() ? kWaitMs : static_cast<DWORD>(_wtoi(args[0].c_str())) * 1000;
        if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) {
            throw Failure(L"the program is still running");
        }
    }

    // Snapshots are kept beside the scenarios, so that a later scenario can
    // compare with one an earlier scenario took (the system before installing).
    std::wstring SnapshotFile(const std::wstring& folder) const {
        std::wstring name;
        for (wchar_t c : folder) {
            name += iswalnum(c) ? c : L'_';
        }
        CreateDirectoryW((snapshotFolder_ + L"snapshots").c_str(), nullptr);
        return snapshotFolder_ + L"snapshots\\" + name + L".txt";
    }

    static bool SaveLines(const std::wstring& path, const std::vector<std::wstring>& lines) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        if (file == nullptr) {
            return false;
        }
        bool ok = true;
        for (const auto& line : lines) {
            const std::wstring withEnd = line + L"\n";
            ok = std::fwrite(withEnd.data(), sizeof(wchar_t), withEnd.size(), file) ==
                     withEnd.size() &&
                 ok;
        }
        return std::fclose(file) == 0 && ok;
    }

    static bool LoadLines(const std::wstring& path, std::vector<std::wstring>& lines) {
        FILE* file = _wfopen(path.c_str(), L"rb");
        if (file == nullptr) {
            return false;
        }
        std::wstring line;
        for (wchar_t c; std::fread(&c, sizeof(c), 1, file) == 1;) {
            if (c == L'\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        std::fclose(file);
        return true;
    }

    static void Holds(const std::wstring& problem) {
        if (!problem.empty()) {
            throw Failure(problem);
        }
    }

    std::wstring name_;
    std::wstring shots_;
    std::wstring snapshotFolder_;  // the scenario's folder
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;

    const std::map<std::wstring, Handler> handlers_ = {
        {L"start", {{1, 9}, [this](const Args& a) { Start(a); }}},
        {L"wait window", {{1, 1}, [this](const Args& a) { WaitWindow(a[0], 0); }}},
        {L"close window",
         {{1, 1},
          [this](const Args& a) {
              const HWND window = WaitWindow(a[0], 0);
              PostMessageW(window, WM_CLOSE, 0, 0);
              WaitGone(window, L"the window");
          }}},
        {L"click", {{1, 1}, [this](const Args& a) { Click(UsableControl(a[0])); }}},
        // A click that does not wait for the program: the next one follows at once,
        // as from a user who clicks twice in quick succession.
        {L"queue click",
         {{1, 1}, [this](const Args& a) { PostMessageW(UsableControl(a[0]), BM_CLICK, 0, 0); }}},
        {L"start-from-registry",
         {{2, 2},
          [this](const Args& a) {
              const std::wstring command = RegistryString(a[0], a[1]);
              if (command.empty()) {
                  throw Failure(L"the registry holds no command there");
              }
              Launch(nullptr, command, L"");
          }}},
        {L"snapshot",
         {{1, 1},
          [this](const Args& a) {
              if (!SaveLines(SnapshotFile(a[0]), ListTree(a[0]))) {
                  throw Failure(L"the snapshot could not be saved");
              }
          }}},
        {L"expect unchanged",
         {{1, 1},
          [this](const Args& a) {
              std::vector<std::wstring> before;
              if (!LoadLines(SnapshotFile(a[0]), before)) {
                  throw Failure(L"no snapshot of this folder was taken");
              }
              // A program that has ended may leave its last deletion to a helper
              // process (the uninstaller's own file): give it a few seconds.
              std::wstring changes = TreeChanges(before, ListTree(a[0]));
              for (int wait = 0; wait < 50 && !changes.empty(); ++wait) {
                  Sleep(100);
                  changes = TreeChanges(before, ListTree(a[0]));
              }
              if (!changes.empty()) {
                  throw Failure(L"the folder changed:" + changes);
              }
          }}},
        {L"make shortcut",
         {{4, 4},
          [](const Args& a) {
              if (!MakeShortcut(a[0], a[1], a[2], a[3])) {
                  throw Failure(L"the shortcut could not be written");
              }
          }}},
        {L"copy",
         {{2, 2},
          [](const Args& a) {
              if (!CopyFileCreatingFolders(a[0], a[1])) {
                  throw Failure(L"the file could not be copied");
              }
          }}},
        {L"type",
         {{2, 2},
          [this](const Args& a) {
              Send(UsableControl(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()));
              Settle();
          }}},
        {L"select", {{2, 20}, [this](const Args& a) { Select(a); }}},
        {L"answer", {{2, 2}, [this](const Args& a) { Answer(a); }}},
        {L"press", {{1, 1}, [this](const Args& a) { Press(a); }}},
        {L"screenshot", {{1, 1}, [this](const Args& a) { Screenshot(a[0]); }}},
        {L"sleep", {{1, 1}, [](const Args& a) { Sleep(static_cast<DWORD>(_wtoi(a[0].c_str()))); }}},
        {L"swap medium",
         {{2, 2},
          [](const Args& a) {
              if (!SwapMedium(a[0], a[1])) {
                  throw Failure(L"the medium could not be changed");
              }
          }}},
        {L"remove", {{1, 1}, [](const Args& a) { RemovePath(a[0]); }}},
        {L"remove reg", {{1, 1}, [](const Args& a) { RemoveRegistryKey(a[0]); }}},
        {L"set reg",
         {{3, 3},
          [](const Args& a) {
              if (!SetRegistryString(a[0], a[1], a[2])) {
                  throw Failure(L"the registry value could not be written");
              }
          }}},
        {L"expect window", {{1, 1}, [this](const Args& a) { WaitWindow(a[0], 0); }}},
        {L"expect text", {{1, 1}, [this](const Args& a) { ExpectText(a[0]); }}},
        {L"expect exited", {{0, 1}, [this](const Args& a) { ExpectExited(a); }}},
        {L"expect items", {{1, 40}, [this](const Args& a) { ExpectItems(a); }}},
        {L"expect file",
         {{1, 2}, [](const Args& a) { Holds(CheckFile(a[0], a.size() > 1 ? a[1] : L"")); }}},
        {L"expect missing", {{1, 1}, [](const Args& a) { Holds(CheckMissing(a[0])); }}},
        {L"expect ini",
         {{4, 4}, [](const Args& a) { Holds(CheckIni(a[0], a[1], a[2], a[3], false)); }}},
        {L"expect noini",
         {{3, 3}, [](const Args& a) { Holds(CheckIni(a[0], a[1], a[2], L"", true)); }}},
        {L"expect reg",
         {{3, 3}, [](const Args& a) { Holds(CheckRegistry(a[0], a[1], a[2], false)); }}},
        {L"expect noreg",
         {{1, 2},
          [](const Args& a) { Holds(CheckRegistry(a[0], a.size() > 1 ? a[1] : L"", L"", true)); }}},
        {L"expect shortcut",
         {{2, 4},
          [](const Args& a) {
              Holds(CheckShortcut(a[0], a[1], a.size() > 2 ? &a[2] : nullptr,
                                  a.size() > 3 ? &a[3] : nullptr));
          }}},
    };
};

// Features that have landed, from E2E_FEATURES ("copy shell ..."). A step line
// may start with a guard: "[copy]" runs only with the feature, "[!copy]" only
// without it, "[copy,shell]" needs both.
bool GuardHolds(const std::wstring& guard) {
    wchar_t buffer[1024] = {};
    GetEnvironmentVariableW(L"E2E_FEATURES", buffer, 1024);
    std::wstring features = L" " + std::wstring(buffer) + L" ";
    for (auto& c : features) {
        c = c == L',' ? L' ' : c;
    }
    std::size_t at = 0;
    while (at < guard.size()) {
        auto end = guard.find(L',', at);
        std::wstring name =
            guard.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? guard.size() : end + 1;
        const bool negated = !name.empty() && name[0] == L'!';
        if (negated) {
            name.erase(0, 1);
        }
        const bool present = features.find(L" " + name + L" ") != std::wstring::npos;
        if (present == negated) {
            return false;
        }
    }
    return true;
}

bool ReadScenario(const std::wstring& path, std::vector<Step>& steps) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) {
        bytes.append(buffer, got);
    }
    std::fclose(file);
    const std::wstring text = FromUtf8(bytes);
    std::size_t at = 0;
    for (int number = 1; at <= text.size(); ++number) {
        auto end = text.find(L'\n', at);
        std::wstring line =
            text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? text.size() + 1 : end + 1;
        while (!line.empty() && (line.back() == L'\r' || iswspace(line.back()))) {
            line.pop_back();
        }
        auto words = Words(line);
        if (words.empty() || words[0][0] == L'#') {
            continue;
        }
        bool skipped = false;
        if (words[0].size() > 2 && words[0].front() == L'[' && words[0].back() == L']') {
            skipped = !GuardHolds(words[0].substr(1, words[0].size() - 2));
            words.erase(words.begin());
            if (words.empty()) {
                continue;
            }
        }
        if (words[0] == L"include" && words.size() == 2) {
            // Shared steps, from a file beside the scenario.
            const std::wstring folder = path.substr(0, path.find_last_of(L"\\/:") + 1);
            if (!ReadScenario(folder + words[1], steps)) {
                Print(L"driver: can't read " + folder + words[1] + L"\n");
                return false;
            }
            continue;
        }
        Step step;
        step.skipped = skipped;
        step.line = number;
        step.text = line;
        step.file = path.substr(path.find_last_of(L"\\/:") + 1);
        if (words[0] == L"not" && words.size() > 1) {
            step.negated = true;
            words.erase(words.begin());
        }
        std::size_t used = 1;
        step.verb = words[0];
        if (TakesSecondWord(words[0]) && words.size() > 1 &&
            (words[0] != L"remove" || words[1] == L"reg")) {
            step.verb += L" " + words[1];
            used = 2;
        }
        for (std::size_t i = used; i < words.size(); ++i) {
            step.args.push_back(Expand(words[i]));
        }
        steps.push_back(std::move(step));
    }
    return true;
}

int Main(int argc, wchar_t** argv) {
    if (argc < 2) {
        Print(L"usage: driver SCENARIO [--shots FOLDER] [--check]\n");
        return 2;
    }
    const std::wstring scenario = argv[1];
    std::wstring shots;
    bool checkOnly = false;
    for (int i = 2; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--shots" && i + 1 < argc) {
            shots = argv[++i];
        } else if (std::wstring(argv[i]) == L"--check") {
            checkOnly = true;
        }
    }
    std::wstring name = scenario.substr(scenario.find_last_of(L"\\/:") + 1);
    name = name.substr(0, name.rfind(L'.'));

    SetShellFolderVariable(L"PROGRAMS", CSIDL_PROGRAMS);
    SetShellFolderVariable(L"DESKTOP", CSIDL_DESKTOPDIRECTORY);
    SetShellFolderVariable(L"PROGRAMFILES", CSIDL_PROGRAM_FILES);

    std::vector<Step> steps;
    if (!ReadScenario(scenario, steps)) {
        Print(L"driver: can't read " + scenario + L"\n");
        return 2;
    }
    Runner runner(name, shots, scenario.substr(0, scenario.find_last_of(L"\\/:") + 1));
    // Every step is checked first, also those a guard leaves out, so that a
    // scenario waiting for a feature stays well-formed.
    for (const Step& step : steps) {
        try {
            runner.Checked(step);
        } catch (const Failure& failure) {
            Print(L"driver: " + step.file + L":" + std::to_wstring(step.line) + L": " + step.text +
                  L": " + failure.What() + L"\n");
            return 2;
        }
    }
    if (checkOnly) {
        Print(L"well-formed " + name + L" (" + std::to_wstring(steps.size()) + L" steps)\n");
        return 0;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.skipped) {
            continue;
        }
        try {
            runner.Run(step);
            Print(L"ok   " + step.file + L":" + std::to_wstring(step.line) + L": " + step.text +
                  L"\n");
        } catch (const Failure& failure) {
            Print(L"FAIL " + name + L" step " + std::to_wstring(i + 1) + L" (" + step.file + L":" +
                  std::to_wstring(step.line) + L"): " + step.text + L"\n  " + failure.What() +
                  L"\n  the screen shows:\n" + DescribeScreen());
            runner.Screenshot(L"FAILED");
            return 1;
        }
    }
    const auto run =
        std::count_if(steps.begin(), steps.end(), [](const Step& s) { return !s.skipped; });
    Print(L"passed " + name + L" (" + std::to_wstring(run) + L" steps run, " +
          std::to_wstring(steps.size() - static_cast<std::size_t>(run)) +
          L" left for features to come)\n");
    return 0;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    return e2e::Main(argc, argv);
}
