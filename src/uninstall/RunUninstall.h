// The uninstaller's whole run, for a program entry to call: finds the log beside
// the running program (its path with the extension ".ini"), asks once whether to
// remove the program the log names, removes what the installation made and ends
// with a result message. "/TEST" as the first argument (in any case) runs the
// same sequence without changing anything and lists what it would do.
#pragma once

#include <span>
#include <string>

#include "uninstall/UninstallUi.h"

namespace setup::uninstall {

namespace exit_code {
inline constexpr int kRemoved = 0;   // everything logged was removed or restored (or tested)
inline constexpr int kPartly = 1;    // something stayed; the result message names it
inline constexpr int kBadLog = 2;    // the log is missing or unusable; nothing was touched
inline constexpr int kDeclined = 3;  // the user answered "Nein"; nothing was touched
}  // namespace exit_code

// `arguments` are the command line's arguments without the program's own name.
int RunUninstall(std::span<const std::string> arguments, UninstallUi& ui);

}  // namespace setup::uninstall
