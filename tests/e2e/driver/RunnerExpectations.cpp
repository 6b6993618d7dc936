// The checks of the scenario language on what the user sees (texts, list items,
// the program's end) and the snapshots that show a folder unchanged. The checks
// of files, profiles, the registry and shortcuts are in Outcome.cpp.
#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "Outcome.h"
#include "Runner.h"

namespace e2e {
namespace {

// The items of a list, in its order, as the user reads them.
std::vector<std::wstring> ItemsOf(HWND list) {
    std::vector<std::wstring> items;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kMessageMs, &count);
    for (DWORD_PTR i = 0; i < count && i < 1000; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kMessageMs, &length);
        std::wstring item(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()), SMTO_NORMAL,
                            kMessageMs, &copied);
        item.resize(std::min<std::size_t>(copied, length));
        items.push_back(item);
    }
    return items;
}

bool SaveLines(const std::wstring& path, const std::vector<std::wstring>& lines) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = true;
    for (const auto& line : lines) {
        const std::wstring withEnd = line + L"\n";
        ok = std::fwrite(withEnd.data(), sizeof(wchar_t), withEnd.size(), file) == withEnd.size() &&
             ok;
    }
    return std::fclose(file) == 0 && ok;
}

bool LoadLines(const std::wstring& path, std::vector<std::wstring>& lines) {
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

}  // namespace

void Runner::ExpectText(const std::wstring& text) {
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

void Runner::ExpectItems(const Args& args) {
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

void Runner::ExpectExited(const Args& args) {
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
std::wstring Runner::SnapshotFile(const std::wstring& folder) const {
    std::wstring name;
    for (wchar_t c : folder) {
        name += iswalnum(c) ? c : L'_';
    }
    CreateDirectoryW((snapshotFolder_ + L"snapshots").c_str(), nullptr);
    return snapshotFolder_ + L"snapshots\\" + name + L".txt";
}

void Runner::Snapshot(const std::wstring& folder) {
    if (!SaveLines(SnapshotFile(folder), ListTree(folder))) {
        throw Failure(L"the snapshot could not be saved");
    }
}

void Runner::ExpectUnchanged(const std::wstring& folder) {
    std::vector<std::wstring> before;
    if (!LoadLines(SnapshotFile(folder), before)) {
        throw Failure(L"no snapshot of this folder was taken");
    }
    // A program that has ended may leave its last deletion to a helper
    // process (the uninstaller's own file): give it a few seconds.
    std::wstring changes = TreeChanges(before, ListTree(folder));
    for (int wait = 0; wait < 50 && !changes.empty(); ++wait) {
        Sleep(100);
        changes = TreeChanges(before, ListTree(folder));
    }
    if (!changes.empty()) {
        throw Failure(L"the folder changed:" + changes);
    }
}

}  // namespace e2e
