#include "platform/posix/PosixProfileFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/HostHandles.h"
#include "platform/posix/IniText.h"

namespace setup::platform::posix {
namespace {

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
    HostDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t count = read(file.Get(), buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

// Replaces the file's content; a read-only file is refused as on Windows.
bool WriteWhole(const std::filesystem::path& path, std::string_view bytes) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 &&
        (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0)) {
        return false;
    }
    HostDescriptor file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        return false;
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = write(file.Get(), bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return file.Close();
}

}  // namespace

std::string ProfileResult(std::string_view value, std::size_t maxChars) {
    value = value.substr(0, value.find('\0'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, maxChars));
}

std::optional<std::filesystem::path> PosixProfileFiles::HostFile(std::string_view file) const {
    if (file.find_first_of("\\/") == std::string_view::npos) {
        std::string inWindowsFolder = windowsFolder_ + "\\";
        inWindowsFolder += file;
        return paths_.ToHost(inWindowsFolder);
    }
    return paths_.ToHost(file);
}

std::optional<std::string> PosixProfileFiles::Load(std::string_view file) const {
    auto host = HostFile(file);
    return host ? ReadWhole(*host) : std::nullopt;
}

std::string PosixProfileFiles::ReadString(std::string_view file, std::string_view section,
                                          std::string_view key, std::string_view defaultValue,
                                          std::size_t maxChars) {
    if (auto bytes = Load(file)) {
        if (auto value = IniText(std::move(*bytes)).Find(section, key)) {
            return ProfileResult(*value, maxChars);
        }
    }
    // The default loses trailing blanks, as the real function strips them.
    while (!defaultValue.empty() && defaultValue.back() == ' ') {
        defaultValue.remove_suffix(1);
    }
    return ProfileResult(defaultValue, maxChars);
}

std::vector<std::string> PosixProfileFiles::ListKeys(std::string_view file,
                                                     std::string_view section) {
    auto bytes = Load(file);
    return bytes ? IniText(std::move(*bytes)).Keys(section) : std::vector<std::string>{};
}

std::vector<std::string> PosixProfileFiles::ListSections(std::string_view file) {
    auto bytes = Load(file);
    return bytes ? IniText(std::move(*bytes)).Sections() : std::vector<std::string>{};
}

bool PosixProfileFiles::WriteString(std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view value) {
    auto host = HostFile(file);
    if (!host) {
        return false;
    }
    auto bytes = ReadWhole(*host);
    struct stat info {};
    if (!bytes && stat(host->c_str(), &info) == 0) {
        return false;  // there but unreadable: rewriting it would lose its content
    }
    IniText text(std::move(bytes).value_or(std::string()));
    text.Set(section, key, value);
    return WriteWhole(*host, text.Bytes());
}

bool PosixProfileFiles::EraseSection(std::string_view file, std::string_view section) {
    auto host = HostFile(file);
    if (!host) {
        return false;
    }
    auto bytes = ReadWhole(*host);
    if (!bytes) {
        return true;  // nothing to remove
    }
    IniText text(std::move(*bytes));
    return !text.EraseSection(section) || WriteWhole(*host, text.Bytes());
}

}  // namespace setup::platform::posix
