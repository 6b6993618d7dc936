#include "platform/posix/PathMapper.h"

#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "base/AsciiText.h"
#include "base/ReservedNames.h"
#include "platform/posix/Cp1252.h"

namespace setup::platform::posix {
namespace {

// Windows drops trailing dots and blanks from the names of a path ("a.txt." and
// "a.txt " name "a.txt"); a name of dots only is "." or ".." and handled apart.
std::string_view StripNameEnd(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.remove_suffix(1);
    }
    return name;
}

// Appends the names of `text` ("\"-separated) to `names`, resolving "." and "..".
void AppendNames(std::vector<std::string>& names, std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\\', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view name = text.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (name != "." && !name.empty()) {
            const std::string_view stripped = StripNameEnd(name);
            if (!stripped.empty()) {
                names.emplace_back(stripped);
            }
        }
        start = end + 1;
    }
}

bool Exists(const std::filesystem::path& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string WindowsPath::ToString() const {
    std::string text{drive, ':', '\\'};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += '\\';
        }
        text += names[i];
    }
    return text;
}

WindowsPath WindowsPath::Parent() const {
    WindowsPath parent{drive, names, false};
    if (!parent.names.empty()) {
        parent.names.pop_back();
    }
    return parent;
}

PathMapper::PathMapper(std::map<char, std::filesystem::path> drives) {
    for (auto& [letter, folder] : drives) {
        MapDrive(letter, std::move(folder));
    }
}

void PathMapper::MapDrive(char letter, std::filesystem::path folder) {
    drives_[AsciiUpperChar(letter)] = std::move(folder);
}

std::optional<std::filesystem::path> PathMapper::DriveFolder(char letter) const {
    auto found = drives_.find(AsciiUpperChar(letter));
    if (found == drives_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<WindowsPath> PathMapper::Normalize(std::string_view path) const {
    if (path.empty()) {
        return std::nullopt;
    }
    std::string text(path);
    std::replace(text.begin(), text.end(), '/', '\\');
    std::string_view rest = text;
    if (rest.starts_with("\\\\")) {
        return std::nullopt;  // network and device paths
    }

    WindowsPath result;
    if (rest.size() >= 2 && rest[1] == ':' && IsAsciiLetter(rest[0])) {
        result.drive = rest[0];  // spelled as given, as Windows keeps it
        rest.remove_prefix(2);
        // "D:name" is relative to the drive's current folder; only the current
        // drive has one here, other drives start at their root.
        if (!rest.starts_with('\\') &&
            AsciiUpperChar(result.drive) == AsciiUpperChar(current_.drive)) {
            result.names = current_.names;
        }
    } else {
        result.drive = current_.drive;
        if (!rest.starts_with('\\')) {
            result.names = current_.names;
        }
    }
    if (rest.find(':') != std::string_view::npos) {
        return std::nullopt;  // streams and device names are not emulated
    }
    result.endsWithSeparator = rest.size() > 0 && rest.back() == '\\';
    AppendNames(result.names, rest);
    // Windows opens a device for such a name, or refuses it: never a file here.
    for (const std::string& name : result.names) {
        if (IsDosDeviceName(name) || HasControlCharacter(name)) {
            return std::nullopt;
        }
    }
    if (!drives_.contains(AsciiUpperChar(result.drive))) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::filesystem::path> PathMapper::ToHost(const WindowsPath& path,
                                                        struct stat* spelled) const {
    if (path.names.empty()) {
        return DriveFolder(path.drive);
    }
    auto spelledHost = SpelledHost(path);
    if (!spelledHost) {
        return std::nullopt;
    }
    std::filesystem::path exact = std::move(*spelledHost);
    // Most paths exist as spelled, or all but their last name does (a file about
    // to be created). An exact spelling is what the lookup one name at a time
    // would choose too, so one lstat of the whole path, or a stat of its parent and
    // a lookup of the last name in that folder's listing, gives the same answer at
    // a fraction of the cost.
    struct stat info {};
    if (lstat(exact.c_str(), &info) == 0) {
        if (spelled != nullptr) {
            *spelled = info;
        }
        return exact;
    }
    return ToHostNotSpelled(path, std::move(exact));
}

std::optional<std::filesystem::path> PathMapper::ToHostNotSpelled(
    const WindowsPath& path, std::filesystem::path exact) const {
    if (path.names.empty() || !drives_.contains(AsciiUpperChar(path.drive))) {
        return DriveFolder(path.drive);
    }
    const std::filesystem::path parent = exact.parent_path();
    struct stat parentInfo {};
    if (stat(parent.c_str(), &parentInfo) == 0) {
        if (!S_ISDIR(parentInfo.st_mode)) {
            return exact;  // nothing lies below a file
        }
        auto entry = folders_.FindFolded(parent, parentInfo, path.names.back());
        return entry ? parent / *entry : exact;
    }

    // A folder on the way is missing or spelled otherwise: one name at a time.
    auto host = DriveFolder(path.drive);
    bool matching = true;  // still inside existing folders
    for (const std::string& name : path.names) {
        std::optional<std::string> entry;
        if (matching) {
            entry = FindEntry(*host, name);
            matching = entry.has_value();
        }
        *host /= entry ? *entry : Cp1252ToUtf8(name);
    }
    return host;
}

std::optional<std::string> PathMapper::FindEntry(const std::filesystem::path& folder,
                                                 std::string_view name) const {
    std::string exact = Cp1252ToUtf8(name);
    if (Exists(folder / exact)) {
        return exact;
    }
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return folders_.FindFolded(folder, info, name);
}

std::optional<std::filesystem::path> PathMapper::SpelledHost(const WindowsPath& path) const {
    auto drive = drives_.find(AsciiUpperChar(path.drive));
    if (drive == drives_.end()) {
        return std::nullopt;
    }
    // Built as text and parsed once: appending to a path name by name parses it
    // again each time, which cost more than the lookups of a run of small files.
    // The names hold neither "/" nor ":", so this is what appending would give.
    std::string text = drive->second.native();
    for (const std::string& name : path.names) {
        if (!text.empty() && text.back() != '/') {
            text += '/';
        }
        text += Cp1252ToUtf8(name);
    }
    return std::filesystem::path(std::move(text));
}

std::optional<std::filesystem::path> PathMapper::ToHost(std::string_view path,
                                                        struct stat* spelled) const {
    auto normal = Normalize(path);
    return normal ? ToHost(*normal, spelled) : std::nullopt;
}

}  // namespace setup::platform::posix
