#include "controls/FxLabel.h"

#include <array>

#include "base/AsciiText.h"
#include "controls/HlsColor.h"
#include "controls/PathShortening.h"

namespace setup::controls {
namespace {

// The letter after the first single "&" of the caption ("&&" is a plain "&").
char AccelCharOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] != '&') {
                return caption[i + 1];
            }
            ++i;
        }
    }
    return '\0';
}

}  // namespace

TFxLabel::TFxLabel(Canvas& screen, FxLabelHost& host) : screen_(screen), host_(host) {}

void TFxLabel::EndLoading() {
    loading_ = false;
    AdjustBounds();
}

void TFxLabel::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    host_.BoundsChanged(*this);
    Repaint();
}

// Appearance properties. A change made by hand ends any preset look: the style
// becomes lsCustom. The change is shown at once (unless it can't be seen, as an
// offset of a copy that is not drawn or a hover colour while not hovering).
template <typename T>
void TFxLabel::SetStyled(T& field, T value, Refresh refresh, bool shown) {
    if (applyingStyle_ || field == value) {
        return;
    }
    field = value;
    switch (refresh) {
        case Refresh::Repaint:
            break;
        case Refresh::Resize:
            AdjustBounds();
            break;
        case Refresh::ResizeWhen:
            if (shown) {
                AdjustBounds();
            }
            break;
        case Refresh::HoverOnly:
            shown = HoverShown();
            break;
    }
    style_ = lsCustom;
    if (shown) {
        Repaint();
    }
}

void TFxLabel::SetBevelStyle(TLabelBevel value) {
    SetStyled(bevelStyle_, value, Refresh::Repaint);
}
void TFxLabel::SetColor(TColor value) {
    SetStyled(color_, value, Refresh::Repaint);
}
void TFxLabel::SetHighlightColor(TColor value) {
    SetStyled(highlightColor_, value, Refresh::Repaint);
}
void TFxLabel::SetHighlightPos(THighLightPos value) {
    SetStyled(highlightPos_, value, Refresh::Repaint);
}
void TFxLabel::SetLayout(TTextLayout value) {
    SetStyled(layout_, value, Refresh::Repaint);
}
void TFxLabel::SetShadowColor(TColor value) {
    SetStyled(shadowColor_, value, Refresh::Repaint);
}
void TFxLabel::SetShortenFilenames(bool value) {
    SetStyled(shortenFilenames_, value, Refresh::Repaint);
}
void TFxLabel::SetShowAccelChar(bool value) {
    SetStyled(showAccelChar_, value, Refresh::Repaint);
}
void TFxLabel::SetTransparent(bool value) {
    SetStyled(transparent_, value, Refresh::Repaint);
}
void TFxLabel::SetBevelWidth(std::uint16_t value) {
    SetStyled(bevelWidth_, value, Refresh::Resize);
}
void TFxLabel::SetShowHighlight(bool value) {
    SetStyled(showHighlight_, value, Refresh::Resize);
}
void TFxLabel::SetShowShadow(bool value) {
    SetStyled(showShadow_, value, Refresh::Resize);
}
void TFxLabel::SetHighlightOffset(std::uint16_t value) {
    SetStyled(highlightOffset_, value, Refresh::ResizeWhen, showHighlight_);
}
void TFxLabel::SetShadowOffset(std::uint16_t value) {
    SetStyled(shadowOffset_, value, Refresh::ResizeWhen, showShadow_);
}
void TFxLabel::SetHoverColor(TColor value) {
    SetStyled(hoverColor_, value, Refresh::HoverOnly);
}
void TFxLabel::SetHoverFontColor(TColor value) {
    SetStyled(hoverFontColor_, value, Refresh::HoverOnly);
}
void TFxLabel::SetUnderlineOnEnter(bool value) {
    SetStyled(underlineOnEnter_, value, Refresh::HoverOnly);
}

// Layout properties: never blocked by a preset being applied.
void TFxLabel::SetAlignment(TAlignment value) {
    if (alignment_ != value) {
        alignment_ = value;
        Repaint();
    }
}

void TFxLabel::SetAutoSize(bool value) {
    if (autoSize_ != value) {
        autoSize_ = value;
        AdjustBounds();
    }
}

void TFxLabel::SetBorderWidth(std::uint16_t value) {
    if (borderWidth_ != value) {
        borderWidth_ = value;
        AdjustBounds();
        Repaint();
    }
}

void TFxLabel::SetWordWrap(bool value) {
    if (wordWrap_ != value) {
        wordWrap_ = value;
        AdjustBounds();
        Repaint();
    }
}

void TFxLabel::SetCaption(std::string_view value) {
    if (caption_ != value) {
        caption_ = value;
        AdjustBounds();
        Repaint();
    }
}

void TFxLabel::SetFont(const FontSpec& value) {
    if (!(font_ == value)) {
        font_ = value;
        Repaint();
        AdjustBounds();
    }
}

void TFxLabel::SetEnabled(bool value) {
    if (enabled_ != value) {
        enabled_ = value;
        Repaint();
    }
}

void TFxLabel::SetCursor(TCursor value) {
    if (cursor_ != value) {
        cursor_ = value;
        host_.CursorChanged(*this);
    }
}

void TFxLabel::SetStyle(TLabelStyle value) {
    if (style_ == value) {
        return;
    }
    style_ = value;
    applyingStyle_ = true;
    ApplyPreset();
    applyingStyle_ = false;
    AdjustBounds();
    Repaint();
}

void TFxLabel::ApplyPreset() {
    switch (style_) {
        case ls3DText:
            bevelStyle_ = bvNone;
            bevelWidth_ = 1;
            color_ = clBtnFace;
            highlightColor_ = clBtnHighlight;
            highlightOffset_ = 1;
            highlightPos_ = hpTopLeft;
            linkActive_ = false;
            shadowColor_ = clBtnShadow;
            shadowOffset_ = 1;
            showHighlight_ = true;
            showShadow_ = true;
            break;
        case lsCustom:
            break;
        case lsLink:
            bevelStyle_ = bvNone;
            bevelWidth_ = 1;
            font_.color = clNavy;
            hoverColor_ = color_;
            hoverFontColor_ = clBlue;
            linkActive_ = true;
            linkType_ = ltWWW;
            showAccelChar_ = false;
            showHighlight_ = false;
            showShadow_ = false;
            underlineOnEnter_ = true;
            break;
        case lsPath:
            linkActive_ = false;
            shortenFilenames_ = true;
            showAccelChar_ = false;
            showHighlight_ = false;
            showShadow_ = false;
            break;
        case lsWindow:
            bevelStyle_ = bvSingle;
            bevelWidth_ = 1;
            borderWidth_ = 2;
            color_ = clWindow;
            font_.color = clWindowText;
            layout_ = tlCenter;
            linkActive_ = false;
            showHighlight_ = false;
            showShadow_ = false;
            break;
    }
}

std::string TFxLabel::GetLabelText() {
    return LabelText(screen_);
}

std::string TFxLabel::LabelText(Canvas& canvas) {
    if (!shortenFilenames_) {
        return caption_;
    }
    canvas.SetFont(font_);
    return ShortenPath(caption_, width_ - 10, canvas);
}

TRect TFxLabel::CalcTextRect(Canvas& canvas, const TRect& from) {
    std::string text = LabelText(canvas);
    if (text.empty() || (showAccelChar_ && text == "&")) {
        text += ' ';
    }
    // Measured with the prefix rule the text is drawn with, so that an "&" in a
    // path counts as wide as it is shown.
    const unsigned flags =
        dt::kExpandTabs | (wordWrap_ ? dt::kWordBreak : 0) | (showAccelChar_ ? 0 : dt::kNoPrefix);
    canvas.SetFont(font_);
    return canvas.MeasureText(text, from, flags);
}

void TFxLabel::AdjustBounds() {
    if (!autoSize_ || loading_) {
        return;
    }
    TRect r = CalcTextRect(screen_, ClientRect());
    int margin = 0;
    if (bevelStyle_ != bvNone) {
        margin += 2 * bevelWidth_ + (bevelStyle_ == bvSingle ? 1 : 0);
    }
    if (borderWidth_ > 0) {
        margin += 2 * borderWidth_;
    }
    r = {r.left - margin, r.top - margin, r.right + margin, r.bottom + margin};
    if (showHighlight_) {
        r.right += highlightOffset_;
        r.bottom += highlightOffset_;
    }
    if (showShadow_) {
        r.right += shadowOffset_;
        r.bottom += shadowOffset_;
    }
    // A right-aligned label keeps its right edge where it was.
    const int left = alignment_ == taRightJustify ? left_ + width_ - r.right : left_;
    SetBounds(left, top_, r.right, r.bottom);
}

void TFxLabel::Paint(Canvas& canvas) {
    const bool hoverBackground = HoverShown() && hoverColor_ != color_;
    if (!transparent_ || hoverBackground) {
        canvas.FillRect(ClientRect(), hoverBackground ? hoverColor_ : color_);
    }
    static constexpr unsigned kAlignments[] = {dt::kLeft, dt::kRight, dt::kCenter};
    const unsigned flags = dt::kExpandTabs | (wordWrap_ ? dt::kWordBreak : 0) |
                           kAlignments[alignment_] | (showAccelChar_ ? 0 : dt::kNoPrefix);
    DoDrawText(canvas, flags);
    if (bevelStyle_ != bvNone) {
        DrawBevel(canvas);
    }
}

void TFxLabel::DoDrawText(Canvas& canvas, unsigned flags) {
    const std::string text = LabelText(canvas);
    TRect r = CalcTextRect(canvas, ClientRect());
    const int w = r.Width();
    const int h = r.Height();
    const bool centreLayout = layout_ == tlCenter;
    if (bevelStyle_ != bvNone) {
        r = r.Moved(bevelWidth_, centreLayout ? 0 : bevelWidth_);
    }
    if (bevelStyle_ == bvSingle) {
        r = r.Moved(1, centreLayout ? 0 : 1);
    }
    switch (alignment_) {
        case taLeftJustify:
            r = r.Moved(borderWidth_, 0);
            break;
        case taCenter:
            r = r.Moved((width_ - w) / 2, 0);
            break;
        case taRightJustify:
            r = r.Moved(width_ - w - 2 - borderWidth_, 0);
            break;
    }
    switch (layout_) {
        case tlTop:
            r = r.Moved(0, borderWidth_);
            break;
        case tlCenter:
            r = r.Moved(0, (height_ - h) / 2);
            break;
        case tlBottom:
            r = r.Moved(0, height_ - h - borderWidth_);
            break;
    }
    const int ho = highlightOffset_;
    const int so = shadowOffset_;
    const bool topLeft = highlightPos_ == hpTopLeft;
    const bool rightAligned = alignment_ == taRightJustify;
    if (showHighlight_) {
        r = r.Moved(topLeft ? ho : (rightAligned ? -ho : 0), layout_ == tlTop ? ho : 0);
    }
    if (showShadow_) {
        r = r.Moved(!topLeft ? so : (rightAligned ? -so : 0), layout_ == tlBottom ? -so : 0);
    }

    canvas.SetFont(font_);
    if (!enabled_) {
        canvas.DrawString(text, r.Moved(1, 1), flags, clBtnHighlight);
        canvas.DrawString(text, r, flags, clBtnShadow);
        return;
    }
    if (showHighlight_) {
        canvas.DrawString(text, r.Moved(topLeft ? -ho : ho, -ho), flags, highlightColor_);
    }
    if (showShadow_) {
        canvas.DrawString(text, r.Moved(topLeft ? so : -so, so), flags, shadowColor_);
    }
    TColor color = font_.color;
    if (HoverShown()) {
        color = hoverFontColor_;
        if (underlineOnEnter_) {
            FontSpec underlined = font_;
            underlined.styles |= fs::kUnderline;
            canvas.SetFont(underlined);
        }
    }
    canvas.DrawString(text, r, flags, color);
}

void TFxLabel::DrawBevel(Canvas& canvas) {
    const ShadePair shades = ShadeColors(color_, 5, 4);
    const int l = 0, t = 0, rt = width_, b = height_, n = bevelWidth_;
    const bool frame = bevelStyle_ == bvFrame;
    const bool raised = bevelStyle_ == bvRaised;
    const TColor topLeft = frame ? clWindowFrame : (raised ? shades.light : shades.dark);
    const TColor bottomRight = frame ? clWindowFrame : (raised ? shades.dark : shades.light);
    for (int i = 1; i <= n; ++i) {
        const std::array<TPoint, 3> line = {
            {{rt - i, t + i - 1}, {l + i - 1, t + i - 1}, {l + i - 1, b - i}}};
        canvas.Polyline(line, topLeft);
    }
    if (bevelStyle_ == bvSingle) {
        const std::array<TPoint, 3> line = {
            {{rt - n - 1, t + n}, {l + n, t + n}, {l + n, b - n - 1}}};
        canvas.Polyline(line, clBlack);
    }
    for (int i = 1; i <= n; ++i) {
        const std::array<TPoint, 3> line = {
            {{l + i - 1, b - i}, {rt - i, b - i}, {rt - i, t + i - 1}}};
        canvas.Polyline(line, bottomRight);
    }
    if (bevelStyle_ == bvSingle) {
        const std::array<TPoint, 3> line = {
            {{l + n, b - n - 1}, {rt - n - 1, b - n - 1}, {rt - n - 1, t + n}}};
        canvas.Polyline(line, clSilver);
    }
}

void TFxLabel::MouseEnter() {
    if (!hovering_ && linkActive_ && enabled_) {
        hovering_ = true;
        savedCursor_ = cursor_;
        SetCursor(kLinkCursor);
        Repaint();
    }
    if (OnMouseEnter) {
        OnMouseEnter(*this);
    }
}

void TFxLabel::MouseLeave() {
    // Hovering always ends here, also when the link was switched off or the label
    // disabled meanwhile, so that neither the hand cursor nor the hover look stays.
    if (hovering_) {
        hovering_ = false;
        SetCursor(savedCursor_);
        Repaint();
    }
    if (OnMouseExit) {
        OnMouseExit(*this);
    }
}

void TFxLabel::Click() {
    if (OnClick) {
        OnClick(*this);
    }
    if (!enabled_ || !linkActive_ || linkType_ == ltNone || linkedAdress_.empty()) {
        return;
    }
    const std::string target = linkType_ == ltEMail  ? "mailto:" + linkedAdress_
                               : linkType_ == ltNews ? "news:" + linkedAdress_
                                                     : linkedAdress_;
    if (OnExecuteLink) {
        OnExecuteLink(*this);
    }
    host_.OpenLink(target);
}

bool TFxLabel::DialogChar(char key) {
    if (focusControl_ == nullptr || !enabled_ || !showAccelChar_) {
        return false;
    }
    const char accel = AccelCharOf(caption_);
    if (accel == '\0' || AsciiUpperChar(accel) != AsciiUpperChar(key) ||
        !focusControl_->CanFocus()) {
        return false;
    }
    focusControl_->SetFocus();
    return true;
}

void TFxLabel::ComponentRemoved(const FocusTarget* target) {
    if (target != nullptr && target == focusControl_) {
        focusControl_ = nullptr;
    }
}

}  // namespace setup::controls
