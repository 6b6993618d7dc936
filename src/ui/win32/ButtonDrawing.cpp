#include "ui/win32/ButtonDrawing.h"

#include "ui/win32/Glyphs.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {

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
