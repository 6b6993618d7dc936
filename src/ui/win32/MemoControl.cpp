#include "ui/win32/ControlKinds.h"

#include <commctrl.h>

#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

constexpr UINT_PTR kMemoSubclassId = 1;

// The edit control breaks lines only at CR LF; texts from files may have bare LF.
std::string WithCrLf(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            result += '\r';
        }
        result += text[i];
    }
    return result;
}

// The memo is read-only: Tab, Enter and Escape do what they do in the rest of the
// window (next element, default button, cancel button) instead of going to it.
LRESULT CALLBACK MemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                          DWORD_PTR /*data*/) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, MemoProc, id);
    } else if (message == WM_GETDLGCODE) {
        return DefSubclassProc(window, message, wParam, lParam) &
               ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The multi-line text box.
class MemoControl final : public Control {
  public:
    using Control::Control;

  private:
    bool Create(HWND parent, int id, DWORD style) override {
        const app::Widget& w = W();
        window_ = Window(CreateSystemControl(
            "EDIT", WS_EX_CLIENTEDGE,
            style | ES_MULTILINE | ES_AUTOVSCROLL | (w.readOnly ? ES_READONLY : 0) |
                (w.verticalScrollBar ? WS_VSCROLL : 0),
            parent, id, WithCrLf(w.caption), host_.Res().FontOf(w)));
        return window_.Valid() && SetWindowSubclass(Hwnd(), MemoProc, kMemoSubclassId, 0);
    }
    HWND Hwnd() const override { return window_.Get(); }
    void Apply(app::Change change) override {
        if (change == app::Change::Caption) {
            SetWindowTextA(Hwnd(), WithCrLf(W().caption).c_str());
            InvalidateRect(Hwnd(), nullptr, FALSE);
        }
    }

    Window window_;
};

}  // namespace

std::unique_ptr<Control> MakeMemo(ControlHost& host, std::size_t index) {
    return std::make_unique<MemoControl>(host, index);
}

}  // namespace setup::ui::win32
