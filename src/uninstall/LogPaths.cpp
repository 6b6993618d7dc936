#include "uninstall/LogPaths.h"

#include "base/AsciiText.h"
#include "base/ReservedNames.h"

namespace setup::uninstall {
namespace {

constexpr std::size_t kMaxPath = 259;
constexpr std::size_t kMaxKeyName = 255;

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 32;
}

bool IsSafeName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ' ||
        IsDosDeviceName(name)) {
        return false;
    }
    for (char c : name) {
        if (IsControl(c) || std::string_view("*?:<>\"|/").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsSafeLocalPath(std::string_view path, PathKind kind) {
    if (path.size() < 3 || path.size() > kMaxPath || !IsAsciiLetter(path[0]) || path[1] != ':' ||
        path[2] != '\\') {
        return false;
    }
    std::string_view rest = path.substr(3);
    if (kind == PathKind::Folder) {
        if (rest.empty()) {
            return true;  // the drive's root
        }
        if (rest.back() != '\\') {
            return false;
        }
        rest.remove_suffix(1);
    }
    // Every name between the backslashes must be a safe one; an empty name (a
    // doubled backslash, or a file path ending in one) is not.
    for (;;) {
        const std::size_t end = rest.find('\\');
        if (!IsSafeName(rest.substr(0, end))) {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(end + 1);
    }
}

bool IsSafeKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxKeyName || name == "." || name == "..") {
        return false;
    }
    for (char c : name) {
        if (IsControl(c) || c == '\\' || c == '*' || c == '?') {
            return false;
        }
    }
    return true;
}

}  // namespace setup::uninstall
