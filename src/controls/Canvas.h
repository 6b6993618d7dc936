// The drawing surface the effect label paints on: solid fills, text measured and
// drawn with DrawText's flags, one-pixel lines, a font with styles. Colours may be
// system colours; the canvas resolves them. The Win32 renderer puts a device
// context behind it; RecordingCanvas keeps the operations for tests and the
// headless renderer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "controls/ScreenColor.h"

namespace setup::controls {

struct TPoint {
    int x = 0, y = 0;
    bool operator==(const TPoint&) const = default;
};

// Right and bottom are exclusive, as in Windows.
struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    TRect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const TRect&) const = default;
};

// DrawText's flags, with Windows' values so a device-context canvas passes them on.
namespace dt {
inline constexpr unsigned kLeft = 0x0000;
inline constexpr unsigned kCenter = 0x0001;
inline constexpr unsigned kRight = 0x0002;
inline constexpr unsigned kWordBreak = 0x0010;
inline constexpr unsigned kExpandTabs = 0x0040;
inline constexpr unsigned kCalcRect = 0x0400;
inline constexpr unsigned kNoPrefix = 0x0800;
}  // namespace dt

namespace fs {
inline constexpr std::uint8_t kBold = 0x01;
inline constexpr std::uint8_t kItalic = 0x02;
inline constexpr std::uint8_t kUnderline = 0x04;
inline constexpr std::uint8_t kStrikeOut = 0x08;
}  // namespace fs

// Height is the character height in pixels.
struct FontSpec {
    std::string face = "MS Sans Serif";
    int height = 11;
    std::uint8_t styles = 0;  // fs:: bits
    TColor color = clWindowText;
    bool operator==(const FontSpec&) const = default;
};

class Canvas {
  public:
    virtual ~Canvas() = default;
    // The font for the following text operations (its colour is not used: text
    // operations name their colour).
    virtual void SetFont(const FontSpec& font) = 0;
    virtual void FillRect(const TRect& rect, TColor color) = 0;
    // Width of one line of text, "&" included (GetTextExtentPoint32).
    virtual int TextWidth(std::string_view text) = 0;
    // DrawText with DT_CALCRECT: the rectangle the text needs, starting at the
    // top-left corner of `rect`; with kWordBreak lines break within its width.
    virtual TRect MeasureText(std::string_view text, const TRect& rect, unsigned flags) = 0;
    // DrawText on a clear background in the colour, clipped to the surface.
    virtual void DrawString(std::string_view text, const TRect& rect, unsigned flags,
                            TColor color) = 0;
    // MoveTo the first point, LineTo each further one with a one-pixel pen; as
    // with LineTo, the end point of each line is not drawn.
    virtual void Polyline(std::span<const TPoint> points, TColor color) = 0;
};

}  // namespace setup::controls
