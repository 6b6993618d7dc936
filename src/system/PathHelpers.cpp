#include "system/PathHelpers.h"

#include "base/ReservedNames.h"
#include "platform/Os.h"

namespace setup {
namespace {

// Position of the last folder separator ("\" or ":"), or npos.
std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\:");
}

}  // namespace

std::string AddTrailingBackslash(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.back() != '\\') {
        result += '\\';
    }
    return result;
}

std::string KeyModule(std::string_view key) {
    auto hash = key.find('#');
    return hash == std::string_view::npos ? std::string() : std::string(key.substr(0, hash));
}

std::string KeyFileName(std::string_view key) {
    auto hash = key.find('#');
    std::string_view name = hash == std::string_view::npos ? key : key.substr(hash + 1);
    return std::string(name.substr(0, name.find('@')));
}

bool KeyIsArchive(std::string_view key) {
    auto at = key.find('@');
    return at != std::string_view::npos && at + 1 < key.size() && key[at + 1] == '1';
}

std::string LastPathComponent(std::string_view folder) {
    if (!folder.empty() && folder.back() == '\\') {
        folder.remove_suffix(1);
    }
    auto slash = folder.rfind('\\');
    return std::string(slash == std::string_view::npos ? folder : folder.substr(slash + 1));
}

std::string TrimNameEnd(std::string_view name) {
    if (!name.empty()) {
        auto last = static_cast<unsigned char>(name.back());
        if (last < '.' || last > 'z') {
            name.remove_suffix(1);
        }
    }
    return std::string(name);
}

std::string FileNameOf(std::string_view path) {
    auto sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string FolderOf(std::string_view path) {
    auto sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string ExtensionOf(std::string_view path) {
    auto dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    auto sep = LastSeparator(path);
    if (sep != std::string_view::npos && sep > dot) {
        return {};
    }
    return std::string(path.substr(dot));
}

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
    std::string result(path.substr(0, path.size() - ExtensionOf(path).size()));
    result += extension;
    return result;
}

std::optional<std::string> CanonicalLocalPath(std::string_view path) {
    constexpr std::size_t kMaxPath = 259;
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() < 3 || !IsAsciiLetter(path[0]) || path[1] != ':' || !separator(path[2])) {
        return std::nullopt;
    }
    std::string result(path.substr(0, 2));
    result += '\\';
    const std::size_t root = result.size();
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !separator(path[end])) {
            ++end;
        }
        std::string_view name = path.substr(start, end - start);
        start = end + 1;
        if (name == "..") {
            // Back to the separator before the last name; the root stays.
            if (result.size() > root) {
                result.resize(result.find_last_of('\\', result.size() - 2) + 1);
            }
            continue;
        }
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
            name.remove_suffix(1);
        }
        if (name.empty()) {
            continue;  // doubled separators, ".", and names of dots and blanks only
        }
        if (name.find_first_of("<>:\"|?*") != std::string_view::npos || HasControlCharacter(name) ||
            IsDosDeviceName(name)) {
            return std::nullopt;
        }
        result.append(name) += '\\';
    }
    // A file keeps no separator after its name; the root always has one.
    if (result.size() > root && !separator(path.back())) {
        result.pop_back();
    }
    if (result.size() > kMaxPath) {
        return std::nullopt;
    }
    return result;
}

std::int32_t FileDateOf(std::string_view path) {
    auto& files = platform::CurrentOs().Files();
    auto found = files.FindFirst(path);
    if (!found || found->IsFolder()) {
        return -1;
    }
    auto dos = files.ToLocalDosDateTime(found->lastWrite);
    return dos ? static_cast<std::int32_t>(*dos) : -1;
}

bool IsExistingFile(std::string_view path) {
    return FileDateOf(path) != -1;
}

}  // namespace setup
