// Undoing the installation's registry entries: the file type association back to
// the state the log recorded, and the uninstall entry removed.
#pragma once

#include <string_view>

#include "uninstall/Removal.h"
#include "uninstall/UninstallLog.h"

namespace setup::uninstall {

// The key under HKEY_LOCAL_MACHINE that holds the uninstall entries.
inline constexpr std::string_view kUninstallKeyBase =
    "software\\microsoft\\windows\\currentversion\\uninstall\\";

// The extension: removed when the installation created it, else its default
// value goes back to the previous type; either only while it still names the
// installed type (another program may have taken it over since). The installed
// type: removed with its open command, unless it existed before (logged as such,
// or the previous type itself): its description and command then go back to the
// logged values.
void UndoAssociation(const LoggedAssociation& association, Removal& removal);

// False when it stays (a Failed line).
bool RemoveUninstallEntry(std::string_view softwareKey, Removal& removal);

}  // namespace setup::uninstall
