#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Wildcards.h"
#include "platform/posix/Cp1252.h"
#include "platform/posix/DosTime.h"
#include "platform/posix/HostAttributes.h"
#include "platform/posix/HostHandles.h"
#include "platform/posix/PosixFile.h"

namespace setup::platform::posix {
namespace {

// The permissions of a file created with 0666: without the process's umask, read
// once from the process's status (asking umask() would change it for a moment);
// nothing where the status does not tell.
std::optional<mode_t> NewFileMode() {
    static const std::optional<mode_t> mode = []() -> std::optional<mode_t> {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("Umask:")) {
                const unsigned long mask = std::strtoul(line.c_str() + 6, nullptr, 8);
                return static_cast<mode_t>(0666 & ~mask);
            }
        }
        return std::nullopt;
    }();
    return mode;
}

struct HostEntry {
    std::filesystem::path path;
    struct stat info {};
};

// Where a Windows path lies on the host (ToHost's answer), with the stat() result
// of what is there, links followed; `exists` false when nothing is. One lstat of the
// spelling tells most: the name as spelled, or nothing there at all, when only the
// other spellings are left to look for; the spelling found then is the one to stat.
struct HostTarget {
    std::filesystem::path path;
    struct stat info {};
    bool exists = false;
};

HostTarget Resolve(const PathMapper& paths, const WindowsPath& normal) {
    HostTarget target{*paths.SpelledHost(normal), {}, false};
    if (lstat(target.path.c_str(), &target.info) == 0) {
        target.exists =
            !S_ISLNK(target.info.st_mode) || stat(target.path.c_str(), &target.info) == 0;
        return target;
    }
    const bool missing = errno == ENOENT;
    auto other = missing ? paths.ToHostNotSpelled(normal, target.path) : paths.ToHost(normal);
    if (missing && *other == target.path) {
        return target;  // no other spelling either
    }
    target.path = std::move(*other);
    target.exists = stat(target.path.c_str(), &target.info) == 0;
    return target;
}

// The entry a Windows path names, following symbolic links. Nothing when it is
// missing, or when the path ends in "\" but names a file.
std::optional<HostEntry> Lookup(const PathMapper& paths, std::string_view windowsPath) {
    auto normal = paths.Normalize(windowsPath);
    if (!normal) {
        return std::nullopt;
    }
    HostTarget target = Resolve(paths, *normal);
    if (!target.exists || (normal->endsWithSeparator && !S_ISDIR(target.info.st_mode))) {
        return std::nullopt;
    }
    return HostEntry{std::move(target.path), target.info};
}

bool IsReadOnlyFile(const HostEntry& entry) {
    return !S_ISDIR(entry.info.st_mode) && (entry.info.st_mode & S_IWUSR) == 0;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

FoundEntry MakeFound(std::string name, const std::filesystem::path& path, const struct stat& info) {
    FoundEntry found;
    found.name = std::move(name);
    found.attributes = AttributesOf(path, info);
    found.lastWrite = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    found.size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
    return found;
}

// A folder's entries other than "." and "..", as (folded name, host name), in the
// order of names without regard to case, as NTFS keeps them. Nothing when the
// folder can't be read.
std::optional<std::vector<std::pair<std::string, std::string>>> SortedHostNames(
    const std::filesystem::path& hostFolder) {
    HostDirectory dir(opendir(hostFolder.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view hostName = entry->d_name;
        if (hostName == "." || hostName == "..") {
            continue;
        }
        std::string folded = Utf8ToCp1252(hostName);
        std::transform(folded.begin(), folded.end(), folded.begin(), FoldCase1252);
        names.emplace_back(std::move(folded), std::string(hostName));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

// Copies the bytes of one open file into another.
bool CopyContent(int from, int to) {
    // Not zeroed: every byte written was read first (zeroing cost as much as copying
    // for the many small files of a copy phase).
    constexpr std::size_t kBlock = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kBlock);
    for (;;) {
        const ssize_t count = read(from, buffer.get(), kBlock);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        for (ssize_t written = 0; written < count;) {
            const ssize_t step =
                write(to, buffer.get() + written, static_cast<std::size_t>(count - written));
            if (step < 0 && errno == EINTR) {
                continue;
            }
            if (step <= 0) {
                return false;
            }
            written += step;
        }
    }
}

bool CopyHostFile(const HostEntry& source, const std::filesystem::path& target) {
    HostDescriptor in(open(source.path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        return false;
    }
    HostDescriptor out(open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (out.Get() < 0) {
        return false;
    }
    const timespec times[2] = {{0, UTIME_OMIT}, source.info.st_mtim};
    if (!CopyContent(in.Get(), out.Get()) || !out.Close() ||
        !CopyHostAttributes(source.path, target) ||
        utimensat(AT_FDCWD, target.c_str(), times, 0) != 0) {
        // Nothing half-copied is left behind.
        chmod(target.c_str(), 0666);
        unlink(target.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::optional<FoundEntry> PosixFileSystem::FindFirst(std::string_view pattern) {
    auto normal = paths_.Normalize(pattern);
    if (!normal || normal->IsRoot() || normal->endsWithSeparator) {
        return std::nullopt;
    }
    const std::string last = normal->names.back();
    if (!HasWildcard(last)) {
        // A name that exists as spelled, in folders that do, is what the lookups
        // below find too: one stat instead of four calls. Checks for a file run
        // several times per file of a copy phase.
        // Nothing there as spelled, below a folder that is (the usual check before
        // a file is written): only the other spellings in that folder are left.
        const std::filesystem::path spelled = *paths_.SpelledHost(*normal);
        struct stat info {};
        if (lstat(spelled.c_str(), &info) == 0) {
            if (S_ISLNK(info.st_mode) && stat(spelled.c_str(), &info) != 0) {
                return std::nullopt;  // a dangling link
            }
            return MakeFound(Utf8ToCp1252(Cp1252ToUtf8(last)), spelled, info);
        }
        const std::filesystem::path parent = spelled.parent_path();
        if (errno == ENOENT && stat(parent.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                return std::nullopt;
            }
            auto entry = paths_.FindFolded(parent, info, last);
            if (!entry || stat((parent / *entry).c_str(), &info) != 0) {
                return std::nullopt;
            }
            return MakeFound(Utf8ToCp1252(*entry), parent / *entry, info);
        }
    }
    const WindowsPath folder = normal->Parent();
    auto hostFolder = paths_.ToHost(folder);
    if (!hostFolder) {
        return std::nullopt;
    }

    if (!HasWildcard(last)) {
        auto entry = paths_.FindEntry(*hostFolder, last);
        struct stat info {};
        if (!entry || stat((*hostFolder / *entry).c_str(), &info) != 0) {
            return std::nullopt;
        }
        return MakeFound(Utf8ToCp1252(*entry), *hostFolder / *entry, info);
    }

    auto listed = SortedHostNames(*hostFolder);
    if (!listed) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>>& names = *listed;
    // Folders other than a drive's root list "." and ".." first.
    if (!folder.IsRoot()) {
        names.insert(names.begin(), {{".", "."}, {"..", ".."}});
    }
    for (const auto& [folded, hostName] : names) {
        const std::string name = Utf8ToCp1252(hostName);
        struct stat info {};
        const std::filesystem::path path = *hostFolder / hostName;
        if (MatchesFileNamePattern(last, name) && stat(path.c_str(), &info) == 0) {
            return MakeFound(name, path, info);
        }
    }
    return std::nullopt;
}

std::uint32_t PosixFileSystem::GetAttributes(std::string_view path) {
    auto entry = Lookup(paths_, path);
    return entry ? AttributesOf(entry->path, entry->info) : attr::kInvalid;
}

bool PosixFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
    auto entry = Lookup(paths_, path);
    return entry && WriteHostAttributes(entry->path, entry->info, attributes);
}

std::optional<std::uint32_t> PosixFileSystem::ToLocalDosDateTime(FileTime time) {
    const std::int64_t offset = CurrentLocalOffsetSeconds() * 10'000'000;
    const auto local = static_cast<std::int64_t>(time) + offset;
    if (local < 0) {
        return std::nullopt;
    }
    return DosFromFileTime(static_cast<FileTime>(local));
}

bool PosixFileSystem::SetLastWriteDos(std::string_view path, std::uint32_t dosDateTime) {
    const auto when = UnixFromLocalDos(dosDateTime);
    auto entry = when ? Lookup(paths_, path) : std::nullopt;
    if (!entry) {
        return false;
    }
    const timespec times[2] = {{0, UTIME_OMIT}, *when};
    return utimensat(AT_FDCWD, entry->path.c_str(), times, 0) == 0;
}

bool PosixFileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
    auto source = Lookup(paths_, from);
    auto target = paths_.Normalize(to);
    if (!source || S_ISDIR(source->info.st_mode) || !target || target->endsWithSeparator) {
        return false;
    }
    auto targetHost = paths_.ToHost(*target);
    struct stat existing {};
    if (stat(targetHost->c_str(), &existing) == 0) {
        if (failIfExists || S_ISDIR(existing.st_mode) || (existing.st_mode & S_IWUSR) == 0 ||
            SameFile(existing, source->info)) {
            return false;
        }
    }
    return CopyHostFile(*source, *targetHost);
}

bool PosixFileSystem::MoveFile(std::string_view from, std::string_view to, bool replaceExisting) {
    auto source = Lookup(paths_, from);
    auto target = paths_.Normalize(to);
    if (!source || !target || target->IsRoot()) {
        return false;
    }
    auto targetHost = paths_.ToHost(*target);
    struct stat existing {};
    if (stat(targetHost->c_str(), &existing) == 0) {
        if (SameFile(existing, source->info)) {
            // A new spelling of the same name: rename to the name as written.
            targetHost = *paths_.ToHost(target->Parent()) / Cp1252ToUtf8(target->names.back());
        } else if (!replaceExisting || S_ISDIR(existing.st_mode) || S_ISDIR(source->info.st_mode) ||
                   (existing.st_mode & S_IWUSR) == 0) {
            return false;
        }
    }
    if (rename(source->path.c_str(), targetHost->c_str()) == 0) {
        return true;
    }
    if (errno != EXDEV || S_ISDIR(source->info.st_mode)) {
        return false;
    }
    // Another host file system: copy, then remove the original.
    return CopyHostFile(*source, *targetHost) && unlink(source->path.c_str()) == 0;
}

bool PosixFileSystem::DeleteFile(std::string_view path) {
    auto entry = Lookup(paths_, path);
    if (!entry || S_ISDIR(entry->info.st_mode) || IsReadOnlyFile(*entry)) {
        return false;
    }
    return unlink(entry->path.c_str()) == 0;
}

bool PosixFileSystem::CreateFolder(std::string_view path) {
    auto normal = paths_.Normalize(path);
    if (!normal || normal->IsRoot()) {
        return false;
    }
    auto host = paths_.ToHost(*normal);
    return mkdir(host->c_str(), 0777) == 0;
}

bool PosixFileSystem::RemoveFolder(std::string_view path) {
    auto normal = paths_.Normalize(path);
    auto entry = normal && !normal->IsRoot() ? Lookup(paths_, path) : std::nullopt;
    if (!entry || !S_ISDIR(entry->info.st_mode)) {
        return false;
    }
    return rmdir(entry->path.c_str()) == 0;
}

std::vector<FoundEntry> PosixFileSystem::ListFolder(std::string_view folder) {
    std::vector<FoundEntry> found;
    auto entry = Lookup(paths_, folder);
    if (!entry || !S_ISDIR(entry->info.st_mode)) {
        return found;
    }
    auto names = SortedHostNames(entry->path);
    if (!names) {
        return found;
    }
    for (const auto& [folded, hostName] : *names) {
        struct stat info {};
        const std::filesystem::path path = entry->path / hostName;
        if (stat(path.c_str(), &info) == 0) {
            found.push_back(MakeFound(Utf8ToCp1252(hostName), path, info));
        }
    }
    return found;
}

bool PosixFileSystem::DeleteWhenUnused(std::string_view path) {
    return DeleteFile(path);
}

DriveType PosixFileSystem::DriveTypeOf(char letter) {
    if (!paths_.Normalize(std::string{letter, ':', '\\'})) {
        return DriveType::NoRootDir;
    }
    auto found = driveTypes_.find(AsciiUpperChar(letter));
    return found == driveTypes_.end() ? DriveType::Fixed : found->second;
}

std::string PosixFileSystem::GetCurrentFolder() {
    return paths_.CurrentFolder().ToString();
}

bool PosixFileSystem::SetCurrentFolder(std::string_view path) {
    auto normal = paths_.Normalize(path);
    if (!normal) {
        return false;
    }
    auto host = paths_.ToHost(*normal);
    struct stat info {};
    if (stat(host->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    normal->endsWithSeparator = false;
    paths_.SetCurrentFolder(*normal);
    return true;
}

std::unique_ptr<File> PosixFileSystem::Open(std::string_view path, OpenMode mode) {
    auto normal = paths_.Normalize(path);
    if (!normal || normal->IsRoot() || normal->endsWithSeparator) {
        return nullptr;
    }
    // CreateNew leaves the test to O_EXCL, which also refuses a folder. Whatever
    // lies at the spelling as given, O_EXCL refuses it, so the name is looked up
    // among the other spellings only (a new file is rarely there already).
    HostTarget target;
    if (mode == OpenMode::CreateNew) {
        target.path = *paths_.ToHostNotSpelled(*normal, *paths_.SpelledHost(*normal));
    } else {
        target = Resolve(paths_, *normal);
    }
    const std::filesystem::path* host = &target.path;
    const struct stat& info = target.info;
    const bool exists = target.exists;
    if (exists && S_ISDIR(info.st_mode)) {
        return nullptr;
    }
    const bool readOnly = exists && (info.st_mode & S_IWUSR) == 0;
    int flags = O_CLOEXEC;
    switch (mode) {
        case OpenMode::Read:
            if (!exists) {
                return nullptr;
            }
            flags |= O_RDONLY;
            break;
        case OpenMode::CreateWrite:
            if (readOnly) {
                return nullptr;
            }
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case OpenMode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL;
            break;
        case OpenMode::ReadWrite:
            if (!exists || readOnly) {
                return nullptr;
            }
            flags |= O_RDWR;
            break;
    }
    const int descriptor = open(host->c_str(), flags, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    return std::make_unique<PosixFile>(
        descriptor, mode == OpenMode::Read,
        mode == OpenMode::CreateNew ? NewFileMode() : std::optional<mode_t>());
}

}  // namespace setup::platform::posix
