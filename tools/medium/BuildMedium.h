// `medium build`: a medium from a vendor's source folder. The script is written
// in Windows-1252 with CR LF, every file it lists is copied byte for byte or
// packed alone into the archive its key names, the logo, the info text, the
// uninstaller and Setup.exe are placed, and on request the medium is spread over
// diskettes and zipped for download. The rules are in docs/setup-ini.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace setup::medium {

struct BuildOptions {
    std::filesystem::path source;
    std::filesystem::path out;
    std::optional<std::uint64_t> disketteSize;
    std::optional<std::filesystem::path> setup;        // --setup
    std::optional<std::filesystem::path> uninstaller;  // --uninstaller
    std::optional<std::filesystem::path> zip;          // --zip
    // Folders to take Setup.exe and Uninstall.exe from when no option names them.
    std::vector<std::filesystem::path> programFolders;
    // Runs `body` with the Windows path (trailing backslash) under which the
    // installer's own code reads the host folder `folder`.
    std::function<void(const std::filesystem::path& folder,
                       const std::function<void(const std::string& windowsFolder)>& body)>
        asWindows;
    // Progress is shown for media of at least this many bytes.
    std::uint64_t progressFrom = 4'000'000;
};

// Reads the arguments after "build"; nothing (and `error` set) when they are wrong.
std::optional<BuildOptions> ParseBuildArguments(const std::vector<std::string>& args,
                                                std::string& error);

// Builds the medium; messages on `log`. 0, or 2 for bad input, with OUT as it was.
int BuildMedium(const BuildOptions& options, std::ostream& log);

}  // namespace setup::medium
