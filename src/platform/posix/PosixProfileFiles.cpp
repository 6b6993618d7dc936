#include "platform/posix/PosixProfileFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "platform/IniText.h"
#include "platform/posix/HostHandles.h"
#include "platform/posix/IniKeyIndex.h"
#include "platform/posix/ProfileEncoding.h"

namespace setup::platform::posix {
namespace {

// What identifies one version of a host file: a rewrite changes at least one of these.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;

    explicit FileStamp(const struct stat& info)
        : device(info.st_dev),
          inode(info.st_ino),
          size(info.st_size),
          modified(Nanoseconds(info.st_mtim)),
          changed(Nanoseconds(info.st_ctim)) {}
    static std::int64_t Nanoseconds(const timespec& t) {
        return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
    }
    bool operator==(const FileStamp&) const = default;
};

std::int64_t NowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return FileStamp::Nanoseconds(now);
}

// The file's bytes and the stamp they were read under.
std::optional<std::string> ReadWhole(const std::filesystem::path& path,
                                     std::optional<FileStamp>* stamp = nullptr) {
    HostDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    if (stamp != nullptr) {
        stamp->emplace(info);
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

std::optional<std::filesystem::path> PosixProfileFiles::HostFile(std::string_view file,
                                                                 struct stat* spelled) const {
    if (file.find_first_of("\\/") == std::string_view::npos) {
        std::string inWindowsFolder = windowsFolder_ + "\\";
        inWindowsFolder += file;
        return paths_.ToHost(inWindowsFolder, spelled);
    }
    return paths_.ToHost(file, spelled);
}

// A profile file's text with the encoding it was read in; a copy kept for reading
// has its keys indexed (the index points into the text, which then never changes).
struct PosixProfileFiles::Parsed {
    explicit Parsed(std::string bytes)
        : encoding(ProfileEncoding::Detect(bytes)), text(std::move(bytes)) {}
    ProfileEncoding encoding;
    IniText text;
    std::optional<IniKeyIndex> index;
};

// A parsed file kept between calls, as the real profile functions keep one: the
// installer asks for the keys of a script one by one, and parsing the whole file for
// each would make long scripts quadratic. The copy is used while the file's stamp is
// unchanged. Host file systems take their timestamps from a clock that advances in
// ticks of up to 10 ms, so a file modified in the tick of the read could be modified
// again with the same stamp: such a copy is not trusted, and the file is read again.
struct PosixProfileFiles::Cached {
    std::string host;
    FileStamp stamp;
    bool trusted;
    std::shared_ptr<const Parsed> parsed;
};

PosixProfileFiles::PosixProfileFiles(PathMapper& paths, std::string windowsFolder)
    : paths_(paths), windowsFolder_(std::move(windowsFolder)) {}

PosixProfileFiles::~PosixProfileFiles() = default;

std::shared_ptr<const PosixProfileFiles::Parsed> PosixProfileFiles::Load(
    std::string_view file) const {
    // The lookup's lstat is the file's stat unless the name is a link.
    struct stat info {};
    info.st_mode = S_IFLNK;
    auto host = HostFile(file, &info);
    if (!host) {
        return nullptr;
    }
    const std::string name = host->string();
    if (S_ISLNK(info.st_mode) && stat(name.c_str(), &info) != 0) {
        return nullptr;
    }
    const auto cached =
        std::find_if(cache_.begin(), cache_.end(), [&](const Cached& c) { return c.host == name; });
    if (cached != cache_.end() && cached->trusted && cached->stamp == FileStamp(info)) {
        return cached->parsed;
    }
    const std::int64_t readAt = NowNanoseconds();
    std::optional<FileStamp> stamp;
    auto bytes = ReadWhole(*host, &stamp);
    if (!bytes) {
        return nullptr;
    }
    auto parsed = std::make_shared<Parsed>(std::move(*bytes));
    parsed->index.emplace(parsed->text);
    constexpr std::int64_t kClockTick = 20'000'000;
    Cached entry{name, *stamp, stamp->modified < readAt - kClockTick, parsed};
    if (cached != cache_.end()) {
        *cached = std::move(entry);
    } else {
        // A few files at most: the script, the log, an earlier installation's log.
        constexpr std::size_t kKept = 4;
        if (cache_.size() == kKept) {
            cache_.erase(cache_.begin());
        }
        cache_.push_back(std::move(entry));
    }
    return parsed;
}

void PosixProfileFiles::Forget(const std::filesystem::path& host) const {
    const std::string name = host.string();
    std::erase_if(cache_, [&](const Cached& c) { return c.host == name; });
}

std::string PosixProfileFiles::ReadString(std::string_view file, std::string_view section,
                                          std::string_view key, std::string_view defaultValue,
                                          std::size_t maxChars) {
    if (auto parsed = Load(file)) {
        const ProfileEncoding& encoding = parsed->encoding;
        if (auto value = parsed->index->Find(encoding.ToText(section), encoding.ToText(key))) {
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
    Forget(*host);
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
    Forget(*host);
    return !parsed.text.EraseSection(parsed.encoding.ToText(section)) ||
           WriteWhole(*host, parsed.encoding.ToBytes(parsed.text.Bytes()));
}

}  // namespace setup::platform::posix
