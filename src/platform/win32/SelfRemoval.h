// How Uninstall.exe removes its own file: a running program's file cannot be
// deleted, so a copy of it in the temporary folder waits for the program to end
// and deletes the file then.
#pragma once

#include <string>
#include <string_view>

namespace setup::platform::win32 {

// The argument that starts the copy which removes the original program; it is
// followed by the original process's handle (inherited) and the original's path.
inline constexpr std::string_view kRemoveOriginalArgument = "/ENTFERNE-ORIGINAL";

// The run has moved the program aside to a name of its own (`self`) and asked for
// that name to be deleted at the next start of Windows. Copies the program into
// the temporary folder and starts the copy as the remover of `self`; when the copy
// cannot be made or started, the request for the next start stays the fallback.
void StartRemoverCopy(const std::string& self);

// The copy's run: waits for the process `waitFor` (its handle as a number, at most
// 30 s), deletes `original` (retrying for 5 s) and leaves its own file to be
// deleted at the next start of Windows. Returns the program's exit code.
int RemoveOriginal(std::string_view waitFor, const std::string& original);

}  // namespace setup::platform::win32
