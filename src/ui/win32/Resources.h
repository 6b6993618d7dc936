// What the widgets draw with: the screen's DPI, fonts and brushes made once and
// shared, and the model's colours resolved to screen colours.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/WidgetModel.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {

// The screen's pixels per logical inch (96 at 100 %).
int ScreenDpi();

// A font of the face and character height (pixels at 96 DPI) for this DPI.
Font MakeFont(std::string_view face, int height, bool bold, bool italic, int dpi);

// The face and height of the installer's dialogs and of the main window's font.
inline constexpr char kDialogFontFace[] = "MS Sans Serif";
inline constexpr int kDialogFontHeight = 11;

class Resources {
  public:
    // The model must outlive this object; it is only read.
    explicit Resources(const app::WidgetModel& model, int dpi = ScreenDpi());
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    int Dpi() const { return dpi_; }
    // Design pixels (96 DPI) to screen pixels.
    int Scale(int designPixels) const { return MulDiv(designPixels, dpi_, 96); }
    // Screen pixels back to design pixels.
    int Unscale(int pixels) const { return MulDiv(pixels, 96, dpi_); }

    // The widget's font; an empty face is taken from the nearest parent that has one.
    HFONT FontOf(const app::Widget& widget);
    COLORREF TextColorOf(const app::Widget& widget) const;
    // The widget's background; Inherit takes the parent's, up to the form.
    COLORREF BackgroundOf(const app::Widget& widget) const;
    // A solid brush of that colour, kept for the life of this object.
    HBRUSH BrushOf(COLORREF color);

    // A colour of the model; Inherit gives `inherited`.
    static COLORREF Resolve(app::Color color, COLORREF inherited);

  private:
    struct FontEntry {
        std::string face;
        int height;
        bool bold;
        bool italic;
        Font font;
    };

    const app::WidgetModel& model_;
    int dpi_;
    std::vector<FontEntry> fonts_;
    std::vector<std::pair<COLORREF, Brush>> brushes_;
};

}  // namespace setup::ui::win32
