// File attributes of host files and folders, as Windows reports them.
//
// Read-only of a file is the owner's write permission, so that host tools see it
// too. Hidden, system and archive, and read-only of a folder (which Windows keeps
// without making the folder unwritable), live in the extended attribute
// "user.dosattrib" as "0x<hex>". Without that attribute a file is archive, a folder
// plain. On a host file system without user extended attributes the stored bits are
// lost: files always read as archive (plus read-only), folders as plain folders.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

namespace setup::platform::posix {

// attr::kInvalid when the path does not exist.
std::uint32_t ReadHostAttributes(const std::filesystem::path& path);
std::uint32_t AttributesOf(const std::filesystem::path& path, const struct stat& info);
bool WriteHostAttributes(const std::filesystem::path& path, std::uint32_t attributes);
// The same for a path whose stat() result is at hand.
bool WriteHostAttributes(const std::filesystem::path& path, const struct stat& info,
                         std::uint32_t attributes);
// The same for an open descriptor and its fstat() result.
bool WriteHostAttributes(int descriptor, const struct stat& info, std::uint32_t attributes);
// Gives `to` the attributes of `from` (both existing).
bool CopyHostAttributes(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace setup::platform::posix
