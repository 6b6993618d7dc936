#include "platform/posix/PosixShell.h"

namespace setup::platform::posix {

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

}  // namespace setup::platform::posix
