#include "ui/win32/Control.h"

#include <algorithm>

namespace setup::ui::win32 {

void Control::Place(int left, int top, int width, int height) {
    MoveWindow(Hwnd(), left, top, std::max(width, 0), std::max(height, 0), TRUE);
}

void Control::Show(bool visible) {
    ShowWindow(Hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::Enable(bool enabled) {
    EnableWindow(Hwnd(), enabled ? TRUE : FALSE);
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void Control::Apply(app::Change change) {
    if (change == app::Change::Caption) {
        SetWindowTextA(Hwnd(), W().caption.c_str());
        InvalidateRect(Hwnd(), nullptr, FALSE);
    }
}

bool Control::Colors(HDC dc, LRESULT& brush) {
    const app::Widget& w = W();
    if (w.background.source == app::Color::Source::Inherit) {
        return false;
    }
    Resources& res = host_.Res();
    const COLORREF background = res.BackgroundOf(w);
    SetBkColor(dc, background);
    SetTextColor(dc, res.TextColorOf(w));
    brush = reinterpret_cast<LRESULT>(res.BrushOf(background));
    return true;
}

void Control::Clicked() {
    const std::string name = W().name;
    host_.Form().Click(name);
}

HWND CreateSystemControl(const char* className, DWORD exStyle, DWORD style, HWND parent, int id,
                         const std::string& text, HFONT font) {
    HWND window = CreateWindowExA(exStyle, className, text.c_str(), style, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace setup::ui::win32
