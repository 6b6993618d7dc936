// One uninstall from a checked log, in a fixed order: the shortcuts, the files,
// the folders that are empty afterwards, the registry, and last the log and the
// uninstaller itself. Only what the log marks as made by the installation ("0")
// is removed; what existed before ("1") stays.
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

UninstallOutcome CarryOut(const UninstallLog& log, const UninstallFiles& files, bool testMode);

}  // namespace setup::uninstall
