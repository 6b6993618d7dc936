// A host folder as the installer's own code sees it: natively drive M: of an
// emulated Windows holding nothing but that drive, on Windows the folder itself.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace setup::medium {

// Runs `body` with the Windows path (trailing backslash) of `folder`, with the
// system that path belongs to as the current one.
void AsWindowsFolder(const std::filesystem::path& folder,
                     const std::function<void(const std::string& windowsFolder)>& body);

// The folders Setup.exe and Uninstall.exe are taken from by default: beside the
// tool (a vendor's kit) and the Windows build of the source tree it was built in.
std::vector<std::filesystem::path> ProgramFolders(const char* argv0);

}  // namespace setup::medium
