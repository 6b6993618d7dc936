// The installer state that every step reads: set up at start, changed by the
// page sequence and the steps, alive for the whole run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/UninstallLogFile.h"

namespace setup::app {

// Wizard pages by PageIndex.
namespace page {
inline constexpr int kInfoText = -1;
inline constexpr int kTargetFolder = 0;
inline constexpr int kModules = 1;
inline constexpr int kCopy = 2;
inline constexpr int kProgramGroup = 3;
inline constexpr int kFinish = 4;
}  // namespace page

struct InstallerState {
    // Start-up (FormCreate).
    std::string SourceDir;  // folder of the running program, with its last "\" or ":"
    bool ScriptFound = false;
    bool TestMode = false;

    // The script in use: the medium's, or the copy in the target folder.
    std::string ScriptPath;
    // The copy in the target folder was made by this run (only then may the end
    // delete ScriptPath; the medium's own script is never deleted).
    bool ScriptCopied = false;

    // Read from the script at start-up (ReadScriptSettings).
    bool SelectionEnabled = false;
    std::string UninstallerSource;
    bool UninstallerPresent = false;
    std::string ProgramGroupName;
    std::int32_t InfoDisplayMode = 0;
    std::string InfoFileName;
    bool InfoShowOk = true;
    bool InfoShowYes = false;
    bool InfoShowNo = false;
    bool InfoShowCancel = false;
    bool UpdateCheckEnabled = false;

    // The page sequence.
    int PageIndex = page::kTargetFolder;
    bool InstallOk = false;
    bool FirstPaintPending = false;
    bool Finished = false;
    bool AskOnClose = true;

    // The uninstall log.
    std::string UninstallIniPath;
    std::string UninstallExePath;
    // The uninstaller was copied to UninstallExePath in this run: only then do its
    // shortcut and the uninstall entry point at it (never in test mode).
    bool UninstallerPlaced = false;
    std::optional<UninstallLogFile> UninstallLog;
    bool UninstallLogOpen = false;

    // The last entry reported by the archive listing.
    std::string ZipEntryName;
    std::uint32_t ZipEntryTime = 0;
};

}  // namespace setup::app
