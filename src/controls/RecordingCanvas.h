// A canvas with fixed text metrics that remembers what was drawn. Every character
// is as wide as half the font height (at least 1 pixel), one more when bold; a
// line is as high as the font; tab stops are eight characters apart. Prefix
// ampersands are resolved unless dt::kNoPrefix is given ("&&" is one "&", a lone
// "&" marks the next letter). Lines end at line breaks and, with dt::kWordBreak,
// between words where the next word would pass the rectangle's right edge.
//
// Tests compare the recorded operations; the headless renderer measures with it,
// so that it shows the text a label would draw.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "controls/Canvas.h"

namespace setup::controls {

struct CanvasOperation {
    enum class Kind { Fill, Text, Lines };
    Kind kind = Kind::Fill;
    TRect rect;  // Fill and Text
    TColor color = 0;
    std::string text;  // Text, as given
    unsigned flags = 0;
    FontSpec font;               // Text
    std::vector<TPoint> points;  // Lines
};

class RecordingCanvas final : public Canvas {
  public:
    void SetFont(const FontSpec& font) override { font_ = font; }
    void FillRect(const TRect& rect, TColor color) override;
    int TextWidth(std::string_view text) override;
    TRect MeasureText(std::string_view text, const TRect& rect, unsigned flags) override;
    void DrawString(std::string_view text, const TRect& rect, unsigned flags,
                    TColor color) override;
    void Polyline(std::span<const TPoint> points, TColor color) override;

    const std::vector<CanvasOperation>& Operations() const { return operations_; }
    void Clear() { operations_.clear(); }

    static int CharWidth(const FontSpec& font);
    // The text as DrawText would show it: prefixes resolved, one entry per line.
    static std::vector<std::string> Lines(std::string_view text, const FontSpec& font, int maxWidth,
                                          unsigned flags);

  private:
    FontSpec font_;
    std::vector<CanvasOperation> operations_;
};

}  // namespace setup::controls
