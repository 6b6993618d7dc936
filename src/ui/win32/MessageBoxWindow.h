// The installer's modal message dialog, built from its portable description:
// caption, icon, text, German buttons in the given order, the default button for
// Enter and the escape answer for Escape and the close box. Windows' MessageBox
// can't show these buttons, so the dialog is our own.
#pragma once

#include "platform/win32/WinApi.h"

#include "app/MessageDialog.h"

namespace setup::ui::win32 {

// Shows `dialog` over `owner` (null: no owner) and returns the answer number of
// the button pressed, or the escape answer for Escape and the close box. The
// owner is disabled while the dialog runs its own message loop. When the
// program is told to quit meanwhile, the dialog closes with the escape answer
// ("Abbrechen" when it has none) and the quit request is passed on.
int RunMessageDialog(HWND owner, const app::MessageDialog& dialog);

// Control identifiers: the buttons are numbered from here in display order.
inline constexpr int kDialogFirstButtonId = 100;
inline constexpr int kDialogTextId = 90;
inline constexpr int kDialogIconId = 91;

}  // namespace setup::ui::win32
