// Program entry of Uninstall.exe: the uninstaller's run with the installer's own
// German message dialogs, one at a time and without an owner window.
#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "UninstallerOs.h"
#include "platform/Os.h"
#include "platform/win32/DllSearchPath.h"
#include "ui/win32/MessageBoxWindow.h"
#include "uninstall/RunUninstall.h"

namespace {

// At namespace scope: a guarded local static would link the thread library's locks.
setup::uninstall::UninstallerOs g_os;

class MessageBoxUi final : public setup::uninstall::UninstallUi {
  public:
    int ShowDialog(const setup::app::MessageDialog& dialog) override {
        return setup::ui::win32::RunMessageDialog(nullptr, dialog);
    }
};

// The argument that starts the copy which removes the original program.
constexpr std::string_view kRemoveOriginal = "/ENTFERNE-ORIGINAL";

std::string OwnPath() {
    std::string path(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    path.resize(length < MAX_PATH ? length : 0);
    return path;
}

// A running program cannot delete its own file. The run has moved it aside to a
// name of its own (`self`) and asked for that name to be deleted at the next
// start of Windows; a copy in the temporary folder waits for this process to
// end, deletes it at once and leaves itself to be deleted at the next start.
void StartRemoverCopy(const std::string& self) {
    std::string folder(MAX_PATH + 1, '\0');
    folder.resize(GetTempPathA(MAX_PATH + 1, folder.data()));
    std::string copy(MAX_PATH, '\0');
    if (folder.empty() || GetTempFileNameA(folder.c_str(), "dei", 0, copy.data()) == 0) {
        return;
    }
    copy.resize(std::string_view(copy.c_str()).size());
    if (!CopyFileA(self.c_str(), copy.c_str(), FALSE)) {
        DeleteFileA(copy.c_str());
        return;
    }
    HANDLE me = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me,
                         SYNCHRONIZE, TRUE, 0)) {
        DeleteFileA(copy.c_str());
        return;
    }
    std::string commandLine = "\"" + copy + "\" " + std::string(kRemoveOriginal) + " " +
                              std::to_string(reinterpret_cast<std::uintptr_t>(me)) + " \"" + self +
                              "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    } else {
        DeleteFileA(copy.c_str());
    }
    CloseHandle(me);
}

// The copy's run: `waitFor` is the original process's handle (inherited), then
// the original's path.
int RemoveOriginal(std::string_view waitFor, const std::string& original) {
    std::uintptr_t value = 0;
    std::from_chars(waitFor.data(), waitFor.data() + waitFor.size(), value);
    if (value != 0) {
        const HANDLE process = reinterpret_cast<HANDLE>(value);
        WaitForSingleObject(process, 30000);
        CloseHandle(process);
    }
    for (int attempt = 0; attempt < 50 && !DeleteFileA(original.c_str()) &&
                          GetFileAttributesA(original.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++attempt) {
        Sleep(100);
    }
    MoveFileExA(OwnPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    // First, before anything can load a library from the program's own folder.
    setup::platform::win32::RestrictDllSearchPath();
    setup::platform::SetCurrentOs(&g_os);
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    // The arguments after the program's name, as the runtime split the command line.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) {
        arguments.emplace_back(__argv[i]);
    }
    if (arguments.size() == 3 && arguments[0] == kRemoveOriginal) {
        return RemoveOriginal(arguments[1], arguments[2]);
    }
    MessageBoxUi ui;
    std::string leftAt;
    const int result = setup::uninstall::RunUninstall(arguments, ui, &leftAt);
    if (!leftAt.empty()) {
        StartRemoverCopy(leftAt);
    }
    return result;
}
