// What the uninstaller needs from a window system: one modal message dialog at a
// time. A headless runner answers from a script, the Win32 program shows the
// installer's own message dialogs.
#pragma once

#include "app/MessageDialog.h"

namespace setup::uninstall {

class UninstallUi {
  public:
    virtual ~UninstallUi() = default;
    // Shows the dialog and returns the answer number of the button pressed (the
    // dialog's escapeAnswer when it was closed).
    virtual int ShowDialog(const app::MessageDialog& dialog) = 0;
};

}  // namespace setup::uninstall
