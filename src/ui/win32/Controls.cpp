#include "ui/win32/Controls.h"

#include "ui/win32/Glyphs.h"
#include "ui/win32/GuiHandles.h"

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

UINT LabelFormat(const app::Widget& label) {
    UINT format = DT_EXPANDTABS;
    if (label.effect.pathStyle) {
        format |= DT_PATH_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE;
    } else if (label.wordWrap) {
        format |= DT_WORDBREAK;
    }
    if (label.textAlign == app::TextAlign::Center) {
        format |= DT_CENTER;
    } else if (label.textAlign == app::TextAlign::Right) {
        format |= DT_RIGHT;
    }
    return format;
}

// Text in the colour of an enabled element, or embossed grey for a disabled one.
void DrawStateText(HDC dc, const std::string& text, RECT r, UINT format, COLORREF color,
                   bool enabled) {
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        OffsetRect(&r, -1, -1);
        color = GetSysColor(COLOR_BTNSHADOW);
    }
    SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

}  // namespace

bool WidgetWindow::Create(DWORD exStyle, DWORD style, HWND parent, int id) {
    if (!RegisterCustomClass(ClassName(), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr, nullptr)) {
        return false;
    }
    const RECT none{0, 0, 0, 0};
    return CreateCustom(ClassName(), exStyle, style, none, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), W().caption.c_str());
}

void WidgetWindow::FillBackground(HDC dc, const RECT& client) {
    FillRect(dc, &client, host_.Res().BrushOf(host_.Res().BackgroundOf(W())));
}

// ---------------------------------------------------------------------------

int PanelWindow::Inset(const app::Widget& panel) {
    return (panel.bevelOuter != app::Bevel::None ? 1 : 0) + panel.borderWidth +
           (panel.bevelInner != app::Bevel::None ? 1 : 0);
}

LRESULT PanelWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDc dc(Hwnd());
            Paint(dc.Get());
            return 0;
        }
        case WM_SIZE:
            host_.ContainerResized(index_);
            return 0;
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            LRESULT result = 0;
            if (host_.FromChild(message, wParam, lParam, result)) {
                return result;
            }
            break;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

void PanelWindow::Paint(HDC dc) {
    RECT r;
    GetClientRect(Hwnd(), &r);
    FillBackground(dc, r);
    const app::Widget& panel = W();
    DrawBevel(dc, r, panel.bevelOuter);
    if (panel.bevelInner != app::Bevel::None) {
        const int inset =
            (panel.bevelOuter != app::Bevel::None ? 1 : 0) + host_.Res().Scale(panel.borderWidth);
        InflateRect(&r, -inset, -inset);
        DrawBevel(dc, r, panel.bevelInner);
    }
}

// ---------------------------------------------------------------------------

SIZE LabelWindow::TextSize(HDC dc, const app::Widget& label, HFONT font) {
    Selection useFont(dc, font);
    RECT r{0, 0, 0, 0};
    const std::string& text = label.caption.empty() ? std::string(" ") : label.caption;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              (LabelFormat(label) & ~UINT{DT_WORDBREAK}) | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

LRESULT LabelWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDc dc(Hwnd());
            RECT r;
            GetClientRect(Hwnd(), &r);
            FillBackground(dc.Get(), r);
            const app::Widget& label = W();
            Selection useFont(dc.Get(), host_.Res().FontOf(label));
            DrawStateText(dc.Get(), label.caption, r, LabelFormat(label),
                          host_.Res().TextColorOf(label), label.enabled);
            return 0;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

// ---------------------------------------------------------------------------

const Picture& PictureWindow::Reload() {
    const app::PictureSource& source = W().picture;
    picture_ = source.loadable && !source.path.empty() ? Picture::Load(source.path) : Picture();
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return picture_;
}

LRESULT PictureWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDc dc(Hwnd());
            RECT r;
            GetClientRect(Hwnd(), &r);
            FillBackground(dc.Get(), r);
            const app::Widget& picture = W();
            if (!picture_.Empty()) {
                picture_.Draw(dc.Get(), r, picture.picture, host_.Res().Dpi());
            } else if (picture.picture.path.empty()) {
                DrawGlyph(dc.Get(), picture.glyph, r, true);
            }
            return 0;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

// ---------------------------------------------------------------------------

bool SpeedButtonWindow::MouseInside(LPARAM lParam) const {
    RECT r;
    GetClientRect(Hwnd(), &r);
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&r, p) != FALSE;
}

LRESULT SpeedButtonWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDc dc(Hwnd());
            RECT r;
            GetClientRect(Hwnd(), &r);
            ButtonLook look;
            look.pressed = pressed_;
            DrawPushButton(dc.Get(), r, W(), host_.Res(), look);
            return 0;
        }
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

// ---------------------------------------------------------------------------

void DrawPushButton(HDC dc, const RECT& bounds, const app::Widget& button, Resources& res,
                    ButtonLook look) {
    RECT r = bounds;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (look.isDefault) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (look.pressed ? DFCS_PUSHED : 0));

    RECT content = r;
    InflateRect(&content, -3, -3);
    if (look.pressed) {
        OffsetRect(&content, 1, 1);
    }
    Selection useFont(dc, res.FontOf(button));
    const UINT format = DT_SINGLELINE | (look.showAccelerators ? 0 : DT_HIDEPREFIX);
    const std::string& caption = button.caption;
    RECT measured{0, 0, 0, 0};
    if (!caption.empty()) {
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measured,
                  format | DT_CALCRECT);
    }
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    const bool top = button.glyphPlacement == app::GlyphPlacement::Top;
    const int glyph = button.glyph == app::Glyph::None ? 0 : res.Scale(top ? 22 : 16);
    const int spacing = glyph > 0 && !caption.empty() ? res.Scale(4) : 0;
    const int middleX = (content.left + content.right) / 2;
    const int middleY = (content.top + content.bottom) / 2;

    RECT glyphBox{};
    RECT textBox{};
    if (top) {
        const int y = middleY - (glyph + spacing + textHeight) / 2;
        glyphBox = {middleX - glyph / 2, y, middleX - glyph / 2 + glyph, y + glyph};
        textBox = {content.left, y + glyph + spacing, content.right,
                   y + glyph + spacing + textHeight};
    } else {
        const int x = middleX - (glyph + spacing + textWidth) / 2;
        glyphBox = {x, middleY - glyph / 2, x + glyph, middleY - glyph / 2 + glyph};
        textBox = {x + glyph + spacing, content.top, x + glyph + spacing + textWidth,
                   content.bottom};
    }
    if (glyph > 0) {
        DrawGlyph(dc, button.glyph, glyphBox, button.enabled);
    }
    if (!caption.empty()) {
        DrawStateText(dc, caption, textBox, format | DT_CENTER | DT_VCENTER,
                      GetSysColor(COLOR_BTNTEXT), button.enabled);
    }
    if (look.focused) {
        RECT focus = r;
        InflateRect(&focus, -res.Scale(3), -res.Scale(3));
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace setup::ui::win32
