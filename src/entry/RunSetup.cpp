// The installer's user interface on Windows: the wizard's form with the Win32
// renderer, run until the window closes.
#include "entry/RunSetup.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/MainForm.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Win32UiHost.h"

namespace setup {

int RunSetup(HINSTANCE /*instance*/, int showCommand) {
    // The arguments after the program's name, as the runtime split the command line.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) {
        arguments.emplace_back(__argv[i]);
    }
    ui::win32::Win32UiHost host;
    app::TMainForm form(host, std::move(arguments));
    return ui::win32::RunWizard(form, host, showCommand);
}

}  // namespace setup
