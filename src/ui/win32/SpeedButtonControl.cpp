#include "ui/win32/ButtonDrawing.h"
#include "ui/win32/ControlKinds.h"
#include "ui/win32/OwnWindowControl.h"

namespace setup::ui::win32 {
namespace {

// A button that never takes the keyboard focus; a click reaches the parent as
// WM_COMMAND with BN_CLICKED, as from a push button, and comes back here.
class SpeedButtonControl final : public OwnWindowControl {
  public:
    SpeedButtonControl(ControlHost& host, std::size_t index)
        : OwnWindowControl(host, index, "SetupSpeedButton") {}

  private:
    void Command(int code) override {
        if (code == BN_CLICKED) {
            Clicked();
        }
    }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override {
        ButtonLook look;
        look.pressed = pressed_;
        DrawPushButton(dc, client, W(), host_.Res(), look);
    }
    bool MouseInside(LPARAM lParam) const;

    bool tracking_ = false;
    bool pressed_ = false;
};

bool SpeedButtonControl::MouseInside(LPARAM lParam) const {
    RECT r;
    GetClientRect(Hwnd(), &r);
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&r, p) != FALSE;
}

LRESULT SpeedButtonControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (IsWindowEnabled(Hwnd())) {
                SetCapture(Hwnd());
                tracking_ = true;
                pressed_ = true;
                InvalidateRect(Hwnd(), nullptr, FALSE);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (tracking_ && pressed_ != MouseInside(lParam)) {
                pressed_ = !pressed_;
                InvalidateRect(Hwnd(), nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (tracking_) {
                const bool click = MouseInside(lParam);
                ReleaseCapture();  // ends the tracking through WM_CAPTURECHANGED
                if (click) {
                    SendMessageA(GetParent(Hwnd()), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(Hwnd()), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Hwnd()));
                }
            }
            return 0;
        case WM_CAPTURECHANGED:
            tracking_ = false;
            pressed_ = false;
            InvalidateRect(Hwnd(), nullptr, FALSE);
            return 0;
        case WM_ENABLE:
            InvalidateRect(Hwnd(), nullptr, FALSE);
            return 0;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace

std::unique_ptr<Control> MakeSpeedButton(ControlHost& host, std::size_t index) {
    return std::make_unique<SpeedButtonControl>(host, index);
}

}  // namespace setup::ui::win32
