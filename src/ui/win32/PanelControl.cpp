// The panel: a container with its colour, border width and bevels; the frame's
// width for the layout is app::PanelInset.
#include "ui/win32/ControlKinds.h"
#include "ui/win32/OwnWindowControl.h"

namespace setup::ui::win32 {
namespace {

// The 1-pixel frame of a bevel: `topLeft` along the top and left edges,
// `bottomRight` along the others.
void Frame3D(HDC dc, const RECT& r, int topLeft, int bottomRight) {
    HBRUSH light = GetSysColorBrush(topLeft);
    HBRUSH dark = GetSysColorBrush(bottomRight);
    RECT edge{r.left, r.top, r.right - 1, r.top + 1};
    FillRect(dc, &edge, light);
    edge = {r.left, r.top, r.left + 1, r.bottom - 1};
    FillRect(dc, &edge, light);
    edge = {r.left, r.bottom - 1, r.right, r.bottom};
    FillRect(dc, &edge, dark);
    edge = {r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &edge, dark);
}

void DrawBevel(HDC dc, const RECT& r, app::Bevel bevel) {
    if (bevel == app::Bevel::Raised) {
        Frame3D(dc, r, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    } else if (bevel == app::Bevel::Lowered) {
        Frame3D(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    }
}

// Passes its children's notifications on to the host, and is the surface of the
// windowless controls inside it: paints them and gives them the mouse.
class PanelControl final : public OwnWindowControl {
  public:
    PanelControl(ControlHost& host, std::size_t index)
        : OwnWindowControl(host, index, "SetupPanel", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT) {}

  private:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    bool ToWindowless(UINT message, POINT point);
};

LRESULT PanelControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result = 0; host_.Reflect(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_SIZE:
            host_.ContainerResized(index_);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            ToWindowless(message,
                         {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            break;
        case WM_MOUSELEAVE:
            ToWindowless(message, {-1, -1});
            return 0;
        case WM_SETCURSOR: {
            // The parent first (the hourglass while the form is busy), then the
            // windowless control under the mouse.
            if (reinterpret_cast<HWND>(wParam) != Hwnd() || LOWORD(lParam) != HTCLIENT) {
                break;
            }
            if (SendMessageA(GetParent(Hwnd()), WM_SETCURSOR, wParam, lParam) != 0) {
                return TRUE;
            }
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(Hwnd(), &point);
            if (ToWindowless(message, point)) {
                return TRUE;
            }
            break;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

bool PanelControl::ToWindowless(UINT message, POINT point) {
    bool used = false;
    for (Control* control : host_.WindowlessIn(index_)) {
        used = control->SurfaceMouse(message, point) || used;
    }
    return used;
}

void PanelControl::Paint(HDC dc, const RECT& client) {
    RECT r = client;
    FillBackground(dc, r);
    const app::Widget& panel = W();
    DrawBevel(dc, r, panel.bevelOuter);
    if (panel.bevelInner != app::Bevel::None) {
        const int inset =
            (panel.bevelOuter != app::Bevel::None ? 1 : 0) + host_.Res().Scale(panel.borderWidth);
        InflateRect(&r, -inset, -inset);
        DrawBevel(dc, r, panel.bevelInner);
    }
    for (Control* control : host_.WindowlessIn(index_)) {
        control->PaintOnSurface(dc);
    }
}

}  // namespace

std::unique_ptr<Control> MakePanel(ControlHost& host, std::size_t index) {
    return std::make_unique<PanelControl>(host, index);
}

}  // namespace setup::ui::win32
