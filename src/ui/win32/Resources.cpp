#include "ui/win32/Resources.h"

#include <cstring>

namespace setup::ui::win32 {

int ScreenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

Font MakeFont(std::string_view face, int height, bool bold, bool italic, int dpi) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(height, dpi, 96);  // negative: the character height
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::size_t length = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
    std::memcpy(font.lfFaceName, face.data(), length);
    return Font(CreateFontIndirectA(&font));
}

Resources::Resources(const app::WidgetModel& model, int dpi) : model_(model), dpi_(dpi) {}

HFONT Resources::FontOf(const app::Widget& widget) {
    std::string_view face = widget.font.face;
    for (const app::Widget* w = &widget; face.empty() && !w->parent.empty();) {
        w = &model_.Get(w->parent);
        face = w->font.face;
    }
    if (face.empty()) {
        face = kDialogFontFace;
    }
    const app::Font& f = widget.font;
    for (const FontEntry& entry : fonts_) {
        if (entry.face == face && entry.height == f.height && entry.bold == f.bold &&
            entry.italic == f.italic) {
            return entry.font.Get();
        }
    }
    fonts_.push_back({std::string(face), f.height, f.bold, f.italic,
                      MakeFont(face, f.height, f.bold, f.italic, dpi_)});
    return fonts_.back().font.Get();
}

COLORREF Resources::Resolve(app::Color color, COLORREF inherited) {
    using Source = app::Color::Source;
    switch (color.source) {
        case Source::Rgb:
            return RGB(color.r, color.g, color.b);
        case Source::WindowText:
            return GetSysColor(COLOR_WINDOWTEXT);
        case Source::ButtonFace:
            return GetSysColor(COLOR_BTNFACE);
        case Source::Window:
            return GetSysColor(COLOR_WINDOW);
        case Source::Inherit:
            break;
    }
    return inherited;
}

COLORREF Resources::TextColorOf(const app::Widget& widget) const {
    return Resolve(widget.font.color, GetSysColor(COLOR_WINDOWTEXT));
}

COLORREF Resources::BackgroundOf(const app::Widget& widget) const {
    const app::Widget* w = &widget;
    while (w->background.source == app::Color::Source::Inherit && !w->parent.empty()) {
        w = &model_.Get(w->parent);
    }
    return Resolve(w->background, GetSysColor(COLOR_BTNFACE));
}

HBRUSH Resources::BrushOf(COLORREF color) {
    for (const auto& [known, brush] : brushes_) {
        if (known == color) {
            return brush.Get();
        }
    }
    brushes_.emplace_back(color, Brush(CreateSolidBrush(color)));
    return brushes_.back().second.Get();
}

}  // namespace setup::ui::win32
