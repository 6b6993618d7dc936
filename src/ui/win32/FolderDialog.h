// The shell's folder dialog.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>
#include <string_view>

namespace setup::ui::win32 {

// Shows the shell's dialog for choosing a file-system folder under the special
// folder `rootCsidl`, owned by `owner`, with `title` above the tree, opening on
// `initialFolder` when that folder exists. Returns the chosen folder as the shell
// gives it (without trailing backslash); empty when the user cancelled or the
// special folder can't be found.
std::string BrowseForFolder(HWND owner, int rootCsidl, std::string_view title,
                            std::string_view initialFolder);

}  // namespace setup::ui::win32
