// The uninstaller's German texts and the dialogs that carry them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/MessageDialog.h"
#include "uninstall/Removal.h"
#include "uninstall/UninstallLog.h"

namespace setup::uninstall {

inline constexpr std::string_view kUninstallTitle = "Deinstallation";
// Appended to the captions of a test run, as the installer marks its test mode.
inline constexpr std::string_view kTestModeMark = " (Testmodus!)";

// Arguments it does not know; nothing was touched.
app::MessageDialog UnknownArgumentsMessage(std::span<const std::string> arguments);

// "Ja"/"Nein": remove the named program?
app::MessageDialog RemoveQuestion(std::string_view programName);
// The log can't be used; nothing was touched.
app::MessageDialog LogErrorMessage(const LogReadResult& result, std::string_view logPath);
// What the run did, what stayed, or in test mode what it would do.
app::MessageDialog ResultMessage(std::string_view programName, const UninstallOutcome& outcome,
                                 bool testMode);

}  // namespace setup::uninstall
