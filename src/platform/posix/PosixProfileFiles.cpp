#include "platform/posix/PosixProfileFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/IniText.h"
#include "platform/posix/HostHandles.h"
#include "platform/posix/ProfileEncoding.h"

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

std::optional<std::filesystem::path> PosixProfileFiles::HostFile(std::string_view file) const {
    if (file.find_first_of("\\/") == std::string_view::npos) {
        std::string inWindowsFolder = windowsFolder_ + "\\";
        inWindowsFolder += file;
        return paths_.ToHost(inWindowsFolder);
    }
    return paths_.ToHost(file);
}

// A profile file's text with the encoding it was read in.
struct PosixProfileFiles::Parsed {
    explicit Parsed(std::string bytes)
        : encoding(ProfileEncoding::Detect(bytes)), text(std::move(bytes)) {}
    ProfileEncoding encoding;
    IniText text;
};

std::optional<PosixProfileFiles::Parsed> PosixProfileFiles::Load(std::string_view file) const {
    auto host = HostFile(file);
    auto bytes = host ? ReadWhole(*host) : std::nullopt;
    if (!bytes) {
        return std::nullopt;
    }
    return Parsed(std::move(*bytes));
}

std::string PosixProfileFiles::ReadString(std::string_view file, std::string_view section,
                                          std::string_view key, std::string_view defaultValue,
                                          std::size_t maxChars) {
    if (auto parsed = Load(file)) {
        const ProfileEncoding& encoding = parsed->encoding;
        if (auto value = parsed->text.Find(encoding.ToText(section), encoding.ToText(key))) {
            return ProfileResult(encoding.FromText(*value), maxChars);
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
    auto parsed = Load(file);
    if (!parsed) {
        return {};
    }
    std::vector<std::string> keys = parsed->text.Keys(parsed->encoding.ToText(section));
    for (std::string& key : keys) {
        key = parsed->encoding.FromText(key);
    }
    return keys;
}

std::vector<std::string> PosixProfileFiles::ListSections(std::string_view file) {
    auto parsed = Load(file);
    if (!parsed) {
        return {};
    }
    std::vector<std::string> sections = parsed->text.Sections();
    for (std::string& section : sections) {
        section = parsed->encoding.FromText(section);
    }
    return sections;
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
    Parsed parsed(std::move(bytes).value_or(std::string()));
    const ProfileEncoding& encoding = parsed.encoding;
    parsed.text.Set(encoding.ToText(section), encoding.ToText(key), encoding.ToText(value));
    return WriteWhole(*host, encoding.ToBytes(parsed.text.Bytes()));
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
    Parsed parsed(std::move(*bytes));
    return !parsed.text.EraseSection(parsed.encoding.ToText(section)) ||
           WriteWhole(*host, parsed.encoding.ToBytes(parsed.text.Bytes()));
}

}  // namespace setup::platform::posix
