#include "platform/win32/SystemLibrary.h"

#include <string>

namespace setup::platform::win32 {

SystemLibrary::SystemLibrary(std::string_view name) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    std::string path(folder, length);
    if (path.back() != '\\') {
        path += '\\';
    }
    path += name;
    // The altered search path makes the library's own dependencies come from its
    // folder, the system folder, too.
    module_.Reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace setup::platform::win32
