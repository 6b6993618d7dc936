// Program entry of Uninstall.exe: the uninstaller's run with the installer's own
// German message dialogs, one at a time and without an owner window.
#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/win32/DllSearchPath.h"
#include "platform/win32/Win32Os.h"
#include "ui/win32/MessageBoxWindow.h"
#include "uninstall/RunUninstall.h"

namespace {

class MessageBoxUi final : public setup::uninstall::UninstallUi {
  public:
    int ShowDialog(const setup::app::MessageDialog& dialog) override {
        return setup::ui::win32::RunMessageDialog(nullptr, dialog);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    // First, before anything can load a library from the program's own folder.
    setup::platform::win32::RestrictDllSearchPath();
    setup::platform::SetCurrentOs(&setup::platform::win32::ProcessOs());
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    // The arguments after the program's name, as the runtime split the command line.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) {
        arguments.emplace_back(__argv[i]);
    }
    MessageBoxUi ui;
    return setup::uninstall::RunUninstall(arguments, ui);
}
