// Small helpers the contract tests share: whole-file access through the seam.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Os.h"

namespace setup::testing {

inline bool WriteBytes(platform::FileSystem& files, std::string_view path, std::string_view bytes) {
    auto file = files.Open(path, platform::OpenMode::CreateWrite);
    if (!file) {
        return false;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return file->Write(std::span(data, bytes.size())) == static_cast<std::int64_t>(bytes.size()) &&
           file->Close();
}

// The whole file, or "<missing>" when it can't be opened.
inline std::string ReadBytes(platform::FileSystem& files, std::string_view path) {
    auto file = files.Open(path, platform::OpenMode::Read);
    if (!file) {
        return "<missing>";
    }
    std::string bytes(static_cast<std::size_t>(file->Size()), '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    bytes.resize(static_cast<std::size_t>(file->Read(std::span(data, bytes.size()))));
    return bytes;
}

}  // namespace setup::testing
