#include "install/ReplaceByCopy.h"

#include <cstdint>
#include <string>

#include "platform/Os.h"
#include "system/PathHelpers.h"

namespace setup::app {
namespace {

namespace attr = platform::attr;

// Claims a free name "~cpyXXXX.tmp" in the folder by creating an empty file there
// exclusively, so that nobody else's file is ever overwritten or removed.
std::string ClaimTemporaryName(platform::FileSystem& files, const std::string& folder) {
    static std::uint32_t counter = 0;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int attempt = 0; attempt < 256; ++attempt) {
        const std::uint32_t n = counter++ & 0xFFFF;
        std::string path = folder + "~cpy";
        for (int shift = 12; shift >= 0; shift -= 4) {
            path += kHex[(n >> shift) & 15];
        }
        path += ".tmp";
        auto claimed = files.Open(path, platform::OpenMode::CreateNew);
        if (claimed && claimed->Close()) {
            return path;
        }
        if (claimed || files.GetAttributes(path) == attr::kInvalid) {
            // Not a name clash: the folder can't take files.
            files.DeleteFile(path);
            return {};
        }
    }
    return {};
}

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
    const std::string temporary = ClaimTemporaryName(files, FolderOf(target));
    if (temporary.empty()) {
        return false;
    }
    if (!files.CopyFile(source, temporary, false) ||
        !files.MoveFile(temporary, target, existing != attr::kInvalid)) {
        RemoveTemporary(files, temporary);
        return false;
    }
    return true;
}

}  // namespace setup::app
