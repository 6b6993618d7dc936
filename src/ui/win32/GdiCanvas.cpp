#include "ui/win32/GdiCanvas.h"

#include <climits>

namespace setup::ui::win32 {
namespace {

RECT ToRect(const controls::TRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// DrawTextA takes an int length; label texts are far shorter.
int LengthOf(std::string_view text) {
    return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
}

}  // namespace

COLORREF ToColorRef(controls::TColor color) {
    if (controls::IsSystemColor(color)) {
        return GetSysColor(static_cast<int>(color & 0xFF));
    }
    return color & 0xFFFFFF;
}

GdiCanvas::~GdiCanvas() {
    if (originalFont_ != nullptr) {
        SelectObject(dc_, originalFont_);
    }
}

void GdiCanvas::SetFont(const controls::FontSpec& font) {
    if (font_ && fontSpec_ == font) {
        return;
    }
    using namespace controls;
    FontHandle created(CreateFontA(
        -font.height, 0, 0, 0, (font.styles & fs::kBold) != 0 ? FW_BOLD : FW_NORMAL,
        (font.styles & fs::kItalic) != 0, (font.styles & fs::kUnderline) != 0,
        (font.styles & fs::kStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
    if (!created) {
        return;  // the context's font stays
    }
    HGDIOBJ previous = SelectObject(dc_, created.Get());
    if (originalFont_ == nullptr) {
        originalFont_ = previous;
    }
    font_ = std::move(created);  // the font selected before is no longer in use
    fontSpec_ = font;
}

void GdiCanvas::FillRect(const controls::TRect& rect, controls::TColor color) {
    const RECT r = ToRect(rect);
    const COLORREF previous = SetDCBrushColor(dc_, ToColorRef(color));
    ::FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc_, previous);
}

int GdiCanvas::TextWidth(std::string_view text) {
    SIZE size{};
    return GetTextExtentPoint32A(dc_, text.data(), LengthOf(text), &size) ? size.cx : 0;
}

controls::TRect GdiCanvas::MeasureText(std::string_view text, const controls::TRect& rect,
                                       unsigned flags) {
    RECT r = ToRect(rect);
    DrawTextA(dc_, text.data(), LengthOf(text), &r, flags | DT_CALCRECT);
    return {r.left, r.top, r.right, r.bottom};
}

void GdiCanvas::DrawString(std::string_view text, const controls::TRect& rect, unsigned flags,
                           controls::TColor color) {
    RECT r = ToRect(rect);
    const int mode = SetBkMode(dc_, TRANSPARENT);
    const COLORREF previous = SetTextColor(dc_, ToColorRef(color));
    DrawTextA(dc_, text.data(), LengthOf(text), &r, flags);
    SetTextColor(dc_, previous);
    SetBkMode(dc_, mode);
}

void GdiCanvas::Polyline(std::span<const controls::TPoint> points, controls::TColor color) {
    if (points.empty()) {
        return;
    }
    const HGDIOBJ pen = SelectObject(dc_, GetStockObject(DC_PEN));
    const COLORREF previous = SetDCPenColor(dc_, ToColorRef(color));
    MoveToEx(dc_, points.front().x, points.front().y, nullptr);
    for (const controls::TPoint& point : points.subspan(1)) {
        LineTo(dc_, point.x, point.y);
    }
    SetDCPenColor(dc_, previous);
    SelectObject(dc_, pen);
}

void PaintFxLabel(controls::TFxLabel& label, HDC parentDc) {
    const int saved = SaveDC(parentDc);
    POINT origin{};
    GetViewportOrgEx(parentDc, &origin);
    SetViewportOrgEx(parentDc, origin.x + label.Left(), origin.y + label.Top(), nullptr);
    IntersectClipRect(parentDc, 0, 0, label.Width(), label.Height());
    {
        GdiCanvas canvas(parentDc);
        label.Paint(canvas);
    }
    RestoreDC(parentDc, saved);
}

}  // namespace setup::ui::win32
