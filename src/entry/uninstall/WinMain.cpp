// Program entry of Uninstall.exe: the uninstaller's run with the installer's own
// German message dialogs, one at a time and without an owner window.
#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "UninstallerOs.h"
#include "platform/Os.h"
#include "platform/win32/DllSearchPath.h"
#include "platform/win32/SelfRemoval.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    namespace win32 = setup::platform::win32;
    // First, before anything can load a library from the program's own folder.
    win32::RestrictDllSearchPath();
    setup::platform::SetCurrentOs(&g_os);
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    // The arguments after the program's name, as the runtime split the command line.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) {
        arguments.emplace_back(__argv[i]);
    }
    if (arguments.size() == 3 && arguments[0] == win32::kRemoveOriginalArgument) {
        return win32::RemoveOriginal(arguments[1], arguments[2]);
    }
    MessageBoxUi ui;
    std::string leftAt;
    const int result = setup::uninstall::RunUninstall(arguments, ui, &leftAt);
    if (!leftAt.empty()) {
        win32::StartRemoverCopy(leftAt);
    }
    return result;
}
