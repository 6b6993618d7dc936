// The installer's user interface, run by the program entry once the process is
// prepared (operating-system seam installed, DLL search path restricted).
#pragma once

#include <windows.h>

namespace setup {

// Creates the main window, runs its message loop until it closes and returns the
// process's exit code.
int RunSetup(HINSTANCE instance, int showCommand);

}  // namespace setup
