#include "platform/TemporaryBeside.h"

#include <cstdint>

namespace setup::platform {

bool IsFolder(FileSystem& files, std::string_view path) {
    const std::uint32_t attributes = files.GetAttributes(path);
    return attributes != attr::kInvalid && (attributes & attr::kDirectory) != 0;
}

std::unique_ptr<File> CreateTemporaryBeside(FileSystem& files, std::string_view target,
                                            std::string_view prefix, std::string& path) {
    // One counter for the process: names taken by earlier calls are not tried again.
    static std::uint32_t counter = 0;
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::size_t slash = target.find_last_of("\\:");
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : target.substr(0, slash + 1);
    for (std::uint32_t attempt = 0; attempt < 0x10000; ++attempt) {
        const std::uint32_t n = counter++ & 0xFFFF;
        path.assign(folder);
        path += prefix;
        for (int shift = 12; shift >= 0; shift -= 4) {
            path += kHex[(n >> shift) & 15];
        }
        path += ".tmp";
        if (auto file = files.Open(path, OpenMode::CreateNew)) {
            return file;
        }
        if (files.GetAttributes(path) == attr::kInvalid) {
            break;  // the name is free, yet no file can be made there
        }
    }
    path.clear();
    return nullptr;
}

bool WriteFileReplacing(FileSystem& files, std::string_view target,
                        std::span<const std::uint8_t> bytes) {
    const std::uint32_t existing = files.GetAttributes(target);
    if (existing != attr::kInvalid && (existing & (attr::kReadOnly | attr::kDirectory)) != 0) {
        return false;
    }
    std::string temporary;
    auto file = CreateTemporaryBeside(files, target, "~new", temporary);
    if (!file) {
        return false;
    }
    const bool written = file->Write(bytes) == static_cast<std::int64_t>(bytes.size());
    if (file->Close() && written && files.MoveFile(temporary, target, existing != attr::kInvalid)) {
        return true;
    }
    files.DeleteFile(temporary);
    return false;
}

}  // namespace setup::platform
