#include "app/ProgramVersion.h"

#include "platform/Os.h"

namespace setup::app {

bool ReadFileVersion(std::string_view path, VersionNumbers& numbers) {
    auto version = platform::CurrentOs().Files().ReadFileVersion(path);
    if (!version) {
        return false;
    }
    numbers = *version;
    return true;
}

std::string FileVersionString(std::string_view path) {
    VersionNumbers n{};
    if (!ReadFileVersion(path, n)) {
        return {};
    }
    return std::to_string(n[0]) + "." + std::to_string(n[1]) + std::to_string(n[2]) +
           std::to_string(n[3]);
}

}  // namespace setup::app
