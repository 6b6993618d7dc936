#include "platform/win32/DllSearchPath.h"

#include "platform/win32/WinApi.h"

#include "platform/win32/SystemLibrary.h"

namespace setup::platform::win32 {

void RestrictDllSearchPath() {
    // kernel32 is always loaded; the functions are looked up because systems before
    // Windows 7 with its security update, and Windows XP before SP1, lack them.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (auto* setDefault = ProcAddress<BOOL WINAPI(DWORD)>(kernel, "SetDefaultDllDirectories")) {
        setDefault(kSearchSystem32);
    }
    // An empty string removes the current folder from the search order.
    if (auto* setDirectory = ProcAddress<BOOL WINAPI(LPCSTR)>(kernel, "SetDllDirectoryA")) {
        setDirectory("");
    }
}

}  // namespace setup::platform::win32
