#include "install/ReplaceByCopy.h"

#include <string>

#include "platform/Os.h"
#include "platform/TemporaryBeside.h"
#include "system/PathHelpers.h"

namespace setup::install {
namespace {

namespace attr = platform::attr;

void RemoveTemporary(platform::FileSystem& files, const std::string& path) {
    // The copy takes over the source's attributes, read-only among them.
    files.SetAttributes(path, attr::kNormal);
    files.DeleteFile(path);
}

}  // namespace

bool ReplaceByCopy(std::string_view source, std::string_view target) {
    auto& files = platform::CurrentOs().Files();
    const std::uint32_t existing = files.GetAttributes(target);
    if (existing != attr::kInvalid && (existing & (attr::kReadOnly | attr::kDirectory)) != 0) {
        return false;
    }
    std::string temporary;
    auto claimed = platform::CreateTemporaryBeside(files, target, "~cpy", temporary);
    if (!claimed || !claimed->Close()) {
        if (claimed) {
            files.DeleteFile(temporary);
        }
        return false;
    }
    if (!files.CopyFile(source, temporary, false) ||
        !files.MoveFile(temporary, target, existing != attr::kInvalid)) {
        RemoveTemporary(files, temporary);
        return false;
    }
    return true;
}

}  // namespace setup::install
