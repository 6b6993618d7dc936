#include "platform/win32/Win32Profiles.h"

#include "platform/win32/WinApi.h"

namespace setup::platform::win32 {
namespace {

// Reads a NUL-separated name list (keys of a section, or the sections of a file when
// section is null). The API cuts a list that does not fit and then reports the buffer
// size less two; the buffer grows until the whole list fits, so that a long [Dateien]
// section never loses its last entries.
std::vector<std::string> ReadNameList(const std::string& file, const char* section) {
    constexpr DWORD kLargest = 64u << 20;
    std::string buffer;
    DWORD length = 0;
    for (DWORD size = 8192;; size *= 2) {
        buffer.assign(size, '\0');
        length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), size, file.c_str());
        if (length + 2 < size || size >= kLargest) {
            break;
        }
    }
    std::vector<std::string> names;
    std::string_view rest(buffer.data(), length);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\0');
        const std::string_view name = rest.substr(0, end);
        if (!name.empty()) {
            names.emplace_back(name);
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return names;
}

}  // namespace

std::string Win32Profiles::ReadString(std::string_view file, std::string_view section,
                                      std::string_view key, std::string_view defaultValue,
                                      std::size_t maxChars) {
    // The API keeps one character of the buffer for the terminating NUL.
    constexpr std::size_t kLargest = 1u << 24;
    const DWORD size = static_cast<DWORD>((maxChars < kLargest ? maxChars : kLargest) + 1);
    std::string value(size, '\0');
    const DWORD length = GetPrivateProfileStringA(
        std::string(section).c_str(), std::string(key).c_str(), std::string(defaultValue).c_str(),
        value.data(), size, std::string(file).c_str());
    value.resize(length < size ? length : size - 1);
    return value;
}

std::vector<std::string> Win32Profiles::ListKeys(std::string_view file, std::string_view section) {
    return ReadNameList(std::string(file), std::string(section).c_str());
}

std::vector<std::string> Win32Profiles::ListSections(std::string_view file) {
    return ReadNameList(std::string(file), nullptr);
}

bool Win32Profiles::WriteString(std::string_view file, std::string_view section,
                                std::string_view key, std::string_view value) {
    return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                      std::string(value).c_str(),
                                      std::string(file).c_str()) != FALSE;
}

bool Win32Profiles::EraseSection(std::string_view file, std::string_view section) {
    // A null key removes the section with all its keys.
    return WritePrivateProfileStringA(std::string(section).c_str(), nullptr, nullptr,
                                      std::string(file).c_str()) != FALSE;
}

}  // namespace setup::platform::win32
