// Keeps DLLs planted beside Setup.exe (in a download folder, on a medium) out of
// the process.
#pragma once

namespace setup::platform::win32 {

// Restricts the search path of later DLL loads to the system folder and drops the
// program's own folder and the current folder from it, where the running system
// offers the functions for that (older systems lack them and are left as they are).
// Call first thing at start-up, before anything loads a library.
void RestrictDllSearchPath();

}  // namespace setup::platform::win32
