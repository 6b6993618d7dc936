#include "app/EffectLabels.h"

namespace setup::app {
namespace {

// Design pixels to pixels at `dpi`, rounded as the window system does (MulDiv);
// design sizes and screen densities are far too small to overflow an int.
int Scaled(int pixels, int dpi) {
    const int product = pixels * dpi;
    return (product >= 0 ? product + 48 : product - 48) / 96;
}

}  // namespace

controls::TColor LabelColor(Color color, controls::TColor inherited) {
    switch (color.source) {
        case Color::Source::Rgb:
            return controls::MakeRgb(color.r, color.g, color.b);
        case Color::Source::WindowText:
            return controls::clWindowText;
        case Color::Source::ButtonFace:
            return controls::clBtnFace;
        case Color::Source::Window:
            return controls::clWindow;
        case Color::Source::Inherit:
            break;
    }
    return inherited;
}

void ConfigureEffectLabel(controls::TFxLabel& label, const WidgetModel& model, const Widget& widget,
                          int dpi) {
    using namespace controls;
    static constexpr TAlignment kAlignments[] = {taLeftJustify, taCenter, taRightJustify};
    const EffectStyle& effect = widget.effect;

    label.BeginLoading();
    label.SetBounds(Scaled(widget.bounds.left, dpi), Scaled(widget.bounds.top, dpi),
                    Scaled(widget.bounds.width, dpi), Scaled(widget.bounds.height, dpi));
    label.SetAlignment(kAlignments[static_cast<int>(widget.textAlign)]);
    label.SetAutoSize(widget.autoSize);
    label.SetCaption(widget.caption);
    // The label's colour is its own: an element that inherits its panel's
    // background keeps the label's initial button face (the panel's colour does
    // not flow into it), as the path labels of the copy page do.
    label.SetColor(LabelColor(widget.background, label.Color()));
    label.SetEnabled(widget.enabled);

    FontSpec font;
    font.face = widget.font.face;
    for (const Widget* w = &widget; font.face.empty() && !w->parent.empty();) {
        w = &model.Get(w->parent);
        font.face = w->font.face;
    }
    if (font.face.empty()) {
        font.face = FontSpec{}.face;
    }
    font.height = Scaled(widget.font.height, dpi);
    font.styles = static_cast<std::uint8_t>((widget.font.bold ? fs::kBold : 0) |
                                            (widget.font.italic ? fs::kItalic : 0));
    font.color = LabelColor(widget.font.color, clWindowText);
    label.SetFont(font);

    label.SetHighlightColor(LabelColor(effect.highlightColor, label.HighlightColor()));
    label.SetHoverColor(LabelColor(effect.hoverBackground, label.HoverColor()));
    label.SetHoverFontColor(LabelColor(effect.hoverText, label.HoverFontColor()));
    label.SetLinkActive(effect.link);
    label.SetShadowColor(LabelColor(effect.shadowColor, label.ShadowColor()));
    label.SetShowHighlight(effect.highlight);
    label.SetShowShadow(effect.shadow);
    label.SetWordWrap(widget.wordWrap);
    // The preset last, as a form description stores it: the path style turns the
    // shortening on and keeps the colours set above.
    label.SetStyle(effect.pathStyle ? lsPath : lsCustom);
    label.EndLoading();
}

}  // namespace setup::app
