// Names between the script and the host disk: the script speaks Windows-1252,
// the host's file names are UTF-8 (Linux) or UTF-16 (Windows). A name is found
// as Windows finds it, without regard to letter case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace setup::medium {

// The UTF-8 form of a Windows-1252 text.
std::string Utf8Of(std::string_view cp1252);

// The host path of a Windows-1252 name relative to a folder ("Daten\Kunden.csv").
std::filesystem::path HostRelative(std::string_view cp1252);

// The Windows-1252 form of a host name; nothing when it has none.
std::optional<std::string> Cp1252Of(const std::filesystem::path& name);

// The existing file or folder below `root` named by the relative Windows path,
// each component matched exactly or else without regard to letter case; nothing
// when there is none.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& root,
                                                std::string_view relative);

}  // namespace setup::medium
