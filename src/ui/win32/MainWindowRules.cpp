// The main window applies the portable window rules (app/WindowRules.h): the
// stacking order of siblings, the docking layout on resize, and the buttons Enter
// and Escape press.
#include "app/WindowRules.h"
#include "ui/win32/MainWindow.h"

namespace setup::ui::win32 {

void MainWindow::StackSiblings(std::size_t container) {
    HWND above = HWND_TOP;
    for (std::size_t index : app::StackingOrder(model_, container)) {
        // Windowless elements paint on their container, under its windows.
        if (HWND window = WindowOf(index); window != nullptr) {
            SetWindowPos(window, above, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
            above = window;
        }
    }
}

void MainWindow::LayOut(std::size_t container) {
    RECT client;
    GetClientRect(WindowOf(container), &client);
    // Auto-sized labels take the size their control measures for the text.
    auto measure = [this](const app::Widget& label) {
        const std::size_t index = IndexOf(label);
        if (const auto text = controls_[index]->NaturalSize()) {
            return app::Size{text->cx, text->cy};
        }
        return app::Size{res_.Scale(label.bounds.width), res_.Scale(label.bounds.height)};
    };
    for (const app::Placement& p : app::LayOutChildren(
             model_, container, {client.right, client.bottom}, res_.Dpi(), measure)) {
        controls_[p.index]->Place(p.bounds.left, p.bounds.top, p.bounds.width, p.bounds.height);
    }
}

std::optional<std::size_t> MainWindow::DefaultButton() const {
    return app::DefaultButton(model_, IndexOfWindow(GetFocus()));
}

std::optional<std::size_t> MainWindow::CancelButton() const {
    return app::CancelButton(model_);
}

}  // namespace setup::ui::win32
