// The shell's link object through the component-object library: IShellLinkA for
// the properties, IPersistFile for saving the shortcut file.
#pragma once

#include <memory>

#include "platform/Os.h"

namespace setup::platform::win32 {

// Initialises the component-object library for the thread, creates the shell
// link object and asks it for its file interface; everything is released in
// reverse order when the object is destroyed.
std::unique_ptr<ShellLinkObject> CreateWin32ShellLink();

}  // namespace setup::platform::win32
