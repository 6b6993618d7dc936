// The window rules of the main window that follow from the model: the stacking
// order of siblings, the docking layout on resize, and the buttons Enter and
// Escape press.
#include <algorithm>

#include "ui/win32/MainWindow.h"
#include "ui/win32/PanelControl.h"

namespace setup::ui::win32 {
namespace {

using app::Align;
using app::Widget;
using app::WidgetKind;

bool Overlap(const app::Rect& a, const app::Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

}  // namespace

// Puts a container's children in the window system's stacking order. Where two
// elements overlap, the later one of the model lies above (result labels under
// the pages, the info memo over the folder page); otherwise the model's order
// stands, which is also the order Tab walks. Overlapping elements that both take
// the focus are shown one at a time (the bottom row's buttons), so they keep the
// model's order for Tab.
void MainWindow::StackSiblings(std::size_t container) {
    const auto& kids = children_[container];
    const auto& all = model_.All();
    auto mustBeBelow = [&](std::size_t earlier, std::size_t later) {
        const Widget& a = all[kids[earlier]];
        const Widget& b = all[kids[later]];
        return !(a.focusable && b.focusable) && Overlap(a.bounds, b.bounds);
    };
    std::vector<bool> placed(kids.size(), false);
    HWND above = HWND_TOP;
    for (std::size_t round = 0; round < kids.size(); ++round) {
        for (std::size_t k = 0; k < kids.size(); ++k) {
            bool ready = !placed[k];
            for (std::size_t later = k + 1; ready && later < kids.size(); ++later) {
                ready = placed[later] || !mustBeBelow(k, later);
            }
            if (ready) {
                placed[k] = true;
                // Windowless elements paint on their container, under its windows.
                if (HWND window = WindowOf(kids[k]); window != nullptr) {
                    SetWindowPos(window, above, 0, 0, 0, 0,
                                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
                    above = window;
                }
                break;
            }
        }
    }
}

// Places a container's children: aligned ones along the edges of its client area
// (inside its border) in the order top, bottom, right, then the one that takes the
// rest; the others at their design place and size.
void MainWindow::LayOut(std::size_t container) {
    const auto& all = model_.All();
    RECT free;
    GetClientRect(WindowOf(container), &free);
    if (container != 0) {
        const int inset = res_.Scale(PanelInset(all[container]));
        InflateRect(&free, -inset, -inset);
    }
    auto place = [&](std::size_t index, int left, int top, int width, int height) {
        controls_[index]->Place(left, top, width, height);
    };
    for (Align align : {Align::Top, Align::Bottom, Align::Right, Align::Client}) {
        for (std::size_t index : children_[container]) {
            const Widget& w = all[index];
            if (w.align != align) {
                continue;
            }
            const int width = res_.Scale(w.bounds.width);
            const int height = res_.Scale(w.bounds.height);
            switch (align) {
                case Align::Top:
                    place(index, free.left, free.top, free.right - free.left, height);
                    free.top += height;
                    break;
                case Align::Bottom:
                    place(index, free.left, free.bottom - height, free.right - free.left, height);
                    free.bottom -= height;
                    break;
                case Align::Right:
                    place(index, free.right - width, free.top, width, free.bottom - free.top);
                    free.right -= width;
                    break;
                default:
                    place(index, free.left, free.top, free.right - free.left,
                          free.bottom - free.top);
                    break;
            }
        }
    }
    for (std::size_t index : children_[container]) {
        const Widget& w = all[index];
        if (w.align != Align::None) {
            continue;
        }
        int width = res_.Scale(w.bounds.width);
        int height = res_.Scale(w.bounds.height);
        if (w.autoSize && (w.kind == WidgetKind::Label || w.kind == WidgetKind::EffectLabel)) {
            if (const auto text = controls_[index]->NaturalSize()) {
                width = text->cx;
                height = text->cy;
            }
        }
        place(index, res_.Scale(w.bounds.left), res_.Scale(w.bounds.top), width, height);
    }
}

std::optional<std::size_t> MainWindow::DefaultButton() const {
    // A focused push button is the one Enter presses; otherwise the first showing,
    // enabled button of the default kind.
    const auto focused = IndexOfWindow(GetFocus());
    if (focused && model_.All()[*focused].kind == WidgetKind::Button) {
        return focused;
    }
    const auto& all = model_.All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == WidgetKind::Button && all[i].role == app::ButtonRole::Default &&
            all[i].enabled && model_.IsShowing(all[i].name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> MainWindow::CancelButton() const {
    const auto& all = model_.All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == WidgetKind::Button && all[i].role == app::ButtonRole::Cancel &&
            all[i].enabled && model_.IsShowing(all[i].name)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace setup::ui::win32
