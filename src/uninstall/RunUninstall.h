// The uninstaller's whole run, for a program entry to call: finds the log beside
// the running program (its path with the extension ".ini"), asks once whether to
// remove the program the log names, removes what the installation made and ends
// with a result message. "/TEST" as the only argument (in any case) runs the
// same sequence without changing anything, " (Testmodus!)" in the captions, and
// lists what it would do; any other argument is refused before anything is read.
#pragma once

#include <span>
#include <string>

#include "uninstall/UninstallUi.h"

namespace setup::uninstall {

namespace exit_code {
inline constexpr int kRemoved = 0;       // everything logged was removed or restored (or tested)
inline constexpr int kPartly = 1;        // something stayed; the result message names it
inline constexpr int kBadLog = 2;        // the log is missing or unusable; nothing was touched
inline constexpr int kDeclined = 3;      // the user answered "Nein"; nothing was touched
inline constexpr int kBadArguments = 4;  // an argument it does not know; nothing was touched
}  // namespace exit_code

// `arguments` are the command line's arguments without the program's own name.
// When the run moved the program's own file aside to be deleted once the
// program has ended, its path goes to `programLeftAt`, so that the caller can
// have it deleted sooner.
int RunUninstall(std::span<const std::string> arguments, UninstallUi& ui,
                 std::string* programLeftAt = nullptr);

}  // namespace setup::uninstall
