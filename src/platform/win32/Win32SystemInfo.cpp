#include "platform/win32/Win32SystemInfo.h"

#include "platform/win32/WinApi.h"

namespace setup::platform::win32 {
namespace {

// The folder lookups fill a MAX_PATH buffer; a result that does not fit (or a
// failure) gives an empty text.
template <typename Query>
std::string FolderFrom(Query query) {
    char buffer[MAX_PATH];
    const UINT length = query(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::string(buffer, length);
}

}  // namespace

std::string Win32SystemInfo::WindowsFolder() {
    return FolderFrom([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string Win32SystemInfo::SystemFolder() {
    return FolderFrom([](char* buffer, UINT size) { return GetSystemDirectoryA(buffer, size); });
}

bool Win32SystemInfo::IsWindowsNT() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::uint32_t Win32SystemInfo::TickCount() {
    return GetTickCount();
}

void Win32SystemInfo::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::uint32_t Win32SystemInfo::SystemColor(int index) {
    return GetSysColor(index);
}

std::string Win32SystemInfo::ProgramPath() {
    // GetModuleFileNameA cuts a path that does not fit and then fills the buffer
    // completely; grow until it fits.
    std::string path;
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        path.assign(size, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

}  // namespace setup::platform::win32
