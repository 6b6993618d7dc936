#include "platform/posix/PosixShell.h"

namespace setup::platform::posix {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

// From the last "." behind the last "\" or ":"; empty without one.
std::string_view Extension(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t separator = path.find_last_of("\\:");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return {};
    }
    return path.substr(dot);
}

}  // namespace

std::optional<std::string> PosixShell::SpecialFolderPath(int csidl) {
    auto found = folders_.find(csidl);
    if (found == folders_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PosixShell::SetSpecialFolder(int csidl, std::optional<std::string> path) {
    if (path) {
        folders_[csidl] = std::move(*path);
    } else {
        folders_.erase(csidl);
    }
}

std::intptr_t PosixShell::OpenWithShell(std::string_view path) {
    std::intptr_t result = 0;
    auto configured = openResults_.find(Upper(path));
    const std::string_view extension = Extension(path);
    if (configured == openResults_.end() && !extension.empty()) {
        configured = openResults_.find(Upper(extension));
    }
    if (configured != openResults_.end()) {
        result = configured->second;
    } else {
        const std::uint32_t attributes = files_.GetAttributes(path);
        const bool isFile = attributes != attr::kInvalid && (attributes & attr::kDirectory) == 0;
        result = isFile ? kOpenedResult : 2;
    }
    openCalls_.push_back({std::string(path), result});
    return result;
}

void PosixShell::SetOpenResult(std::string_view pathOrExtension,
                               std::optional<std::intptr_t> result) {
    if (result) {
        openResults_[Upper(pathOrExtension)] = *result;
    } else {
        openResults_.erase(Upper(pathOrExtension));
    }
}

}  // namespace setup::platform::posix
