// One uninstall from a checked log, in a fixed order: the shortcuts, the files,
// the folders that are empty afterwards, the registry, and last, only when all
// that went, the uninstaller itself, the uninstall entry and the log. Only what
// the log marks as made by the installation ("0") is removed; what existed
// before ("1") and whatever the log does not name stay. When something the
// installation made stays (the uninstaller itself or its entry among it), the
// log is rewritten to what it still names and stays with the entry and the
// uninstaller.
#pragma once

#include <string>

#include "uninstall/Removal.h"
#include "uninstall/UninstallLog.h"

namespace setup::uninstall {

struct UninstallFiles {
    std::string logPath;
    std::string programPath;
    std::string windowsFolder;  // with trailing backslash: only there is the program deleted
};

// `log` is left holding what the log still names afterwards.
UninstallOutcome CarryOut(UninstallLog& log, const UninstallFiles& files, bool testMode);

}  // namespace setup::uninstall
