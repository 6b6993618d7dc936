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

SYSTEMTIME ToSystemTime(const CalendarTime& time) {
    SYSTEMTIME st{};
    st.wYear = time.year;
    st.wMonth = time.month;
    st.wDay = time.day;
    st.wHour = time.hour;
    st.wMinute = time.minute;
    st.wSecond = time.second;
    return st;
}

// The formatting functions count the terminating NUL in their result.
template <typename Format>
std::string FormattedText(Format format) {
    char buffer[128];
    const int length = format(buffer, static_cast<int>(sizeof(buffer)));
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

}  // namespace

std::string Win32SystemInfo::FormatShortDate(const CalendarTime& time) {
    const SYSTEMTIME st = ToSystemTime(time);
    return FormattedText([&st](char* buffer, int size) {
        return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, size);
    });
}

std::string Win32SystemInfo::FormatLongTime(const CalendarTime& time) {
    const SYSTEMTIME st = ToSystemTime(time);
    return FormattedText([&st](char* buffer, int size) {
        return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, size);
    });
}

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

namespace setup::platform::win32 {

int Win32SystemInfo::CompareText(std::string_view a, std::string_view b) {
    // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN are 1, 2, 3; 0 on failure,
    // where byte order keeps the result total.
    const int result =
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                       b.data(), static_cast<int>(b.size()));
    if (result == 0) {
        return a.compare(b);
    }
    return result - CSTR_EQUAL;
}

}  // namespace setup::platform::win32
