// The effect label's canvas on a Windows device context, and painting a label on
// its parent's surface.
#pragma once

#include "controls/Canvas.h"
#include "controls/FxLabel.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WinApi.h"

namespace setup::ui::win32 {

namespace detail {
inline HFONT NullFont() {
    return nullptr;
}
inline bool DeleteFont(HFONT font) {
    return DeleteObject(font) != FALSE;
}
}  // namespace detail
using FontHandle = platform::win32::UniqueResource<HFONT, detail::NullFont, detail::DeleteFont>;

// A system colour becomes the system's current colour (GetSysColor).
COLORREF ToColorRef(controls::TColor color);

// Draws on a device context it does not own. Fills and lines use the context's
// DC brush and DC pen; text is drawn on a clear background. The context's font is
// put back when the canvas goes.
class GdiCanvas final : public controls::Canvas {
  public:
    explicit GdiCanvas(HDC dc) : dc_(dc) {}
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void SetFont(const controls::FontSpec& font) override;
    void FillRect(const controls::TRect& rect, controls::TColor color) override;
    int TextWidth(std::string_view text) override;
    controls::TRect MeasureText(std::string_view text, const controls::TRect& rect,
                                unsigned flags) override;
    void DrawString(std::string_view text, const controls::TRect& rect, unsigned flags,
                    controls::TColor color) override;
    void Polyline(std::span<const controls::TPoint> points, controls::TColor color) override;

  private:
    HDC dc_;
    FontHandle font_;
    controls::FontSpec fontSpec_;
    HGDIOBJ originalFont_ = nullptr;
};

// Paints the label on its parent's device context at the label's place, clipped
// to it; the context is left as it was.
void PaintFxLabel(controls::TFxLabel& label, HDC parentDc);

}  // namespace setup::ui::win32
