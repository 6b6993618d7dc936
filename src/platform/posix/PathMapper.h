// Maps Windows paths of the emulated system to host paths.
//
// Drive letters map to host folders. A path is first made full and normal the way
// Windows does it ("/" and "\" alike, relative paths against the current folder,
// "." and ".." resolved, trailing dots and blanks dropped from names), then each
// name is looked up in its host folder without regard to letter case: an existing
// entry is used with its own spelling, and from the first missing name on the given
// spelling is kept, so that creating a file or folder uses the name as written.
// Names are Windows-1252 inside and UTF-8 on the host.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/FolderListings.h"

namespace setup::platform::posix {

// A full, normal Windows path: a drive and the names below its root.
struct WindowsPath {
    char drive = 'C';  // as written; drives compare without regard to case
    std::vector<std::string> names;
    bool endsWithSeparator = false;  // the path was written with a trailing "\"

    bool IsRoot() const { return names.empty(); }
    // "C:\" for the root, else "C:\a\b" (no trailing backslash).
    std::string ToString() const;
    WindowsPath Parent() const;
};

class PathMapper {
  public:
    explicit PathMapper(std::map<char, std::filesystem::path> drives);

    void MapDrive(char letter, std::filesystem::path folder);

    // Nothing for forms the emulation does not know (empty text, "\\server\share",
    // device paths, names of DOS devices such as NUL or "com1.txt", names with
    // control characters) and for drives without a folder.
    std::optional<WindowsPath> Normalize(std::string_view path) const;

    // The host path of a Windows path; nothing when its drive is not mapped. When
    // the path exists as spelled, `spelled` (if given) receives its lstat() result.
    std::optional<std::filesystem::path> ToHost(const WindowsPath& path,
                                                struct stat* spelled = nullptr) const;
    std::optional<std::filesystem::path> ToHost(std::string_view path,
                                                struct stat* spelled = nullptr) const;
    // ToHost of a path that is known to have nothing (not even a link) at `exact`,
    // its SpelledHost: the same answer without looking there again.
    std::optional<std::filesystem::path> ToHostNotSpelled(const WindowsPath& path,
                                                          std::filesystem::path exact) const;
    // The host path with every name as spelled. When something exists there, it is
    // what ToHost gives too, so a caller that needs a stat() anyway can try this
    // path first and save the lookup.
    std::optional<std::filesystem::path> SpelledHost(const WindowsPath& path) const;

    const WindowsPath& CurrentFolder() const { return current_; }
    void SetCurrentFolder(WindowsPath folder) { current_ = std::move(folder); }

    // The entry of `folder` whose name equals `name` (Windows-1252) without regard
    // to case: the exact spelling when present, else the first match in sorted
    // order.
    std::optional<std::string> FindEntry(const std::filesystem::path& folder,
                                         std::string_view name) const;
    // The same for a name known to be missing as spelled, in a folder whose stat()
    // result is `info`: the first match in sorted order.
    std::optional<std::string> FindFolded(const std::filesystem::path& folder,
                                          const struct stat& info, std::string_view name) const {
        return folders_.FindFolded(folder, info, name);
    }

  private:
    std::optional<std::filesystem::path> DriveFolder(char letter) const;

    std::map<char, std::filesystem::path> drives_;
    WindowsPath current_;
    mutable FolderListings folders_;
};

}  // namespace setup::platform::posix
