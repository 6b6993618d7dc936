// Where the main window's keyboard focus goes when its element can no longer
// take it.
#include "ui/win32/MainWindow.h"

namespace setup::ui::win32 {

// The candidate when it can take the focus, else the first element that can.
HWND MainWindow::UsableFocus(HWND candidate) const {
    if (candidate != nullptr && IsWindow(candidate) && IsWindowVisible(candidate) &&
        IsWindowEnabled(candidate)) {
        return candidate;
    }
    HWND first = GetNextDlgTabItem(Hwnd(), nullptr, FALSE);
    return first != nullptr && IsWindowVisible(first) ? first : nullptr;
}

// After an element was hidden or disabled: the focus moves on when it stood there.
void MainWindow::KeepFocusUsable() {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(Hwnd(), focus) &&
        (!IsWindowVisible(focus) || !IsWindowEnabled(focus))) {
        HWND next = UsableFocus(GetNextDlgTabItem(Hwnd(), focus, FALSE));
        SetFocus(next != nullptr ? next : Hwnd());
    }
    if (savedFocus_ != nullptr && !IsWindowVisible(savedFocus_)) {
        savedFocus_ = nullptr;
    }
}

}  // namespace setup::ui::win32
