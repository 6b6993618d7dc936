// Program entry of Setup.exe.
#include "platform/win32/WinApi.h"

#include "entry/RunSetup.h"
#include "platform/Os.h"
#include "platform/win32/DllSearchPath.h"
#include "platform/win32/Win32Os.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    // First, before anything can load a library from the program's own folder.
    setup::platform::win32::RestrictDllSearchPath();
    setup::platform::SetCurrentOs(&setup::platform::win32::ProcessOs());
    return setup::RunSetup(instance, showCommand);
}
