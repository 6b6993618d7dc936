// The effect label: a windowless text control that paints on its parent's surface.
// It can draw its text with a highlight and a shadow copy (a 3-D look), draw a
// bevel or a frame round itself, shorten a file path to its width, and act as a
// hyperlink (hand cursor, hover colours, underline, a mail, news or web address
// opened through the shell). Style presets switch between typical looks.
//
// A renderer creates one with a canvas for measuring text (a screen device
// context, or a RecordingCanvas) and a host, sets its properties between
// BeginLoading and EndLoading, and then:
//  - paints it with Paint(canvas) in the label's own coordinates (0, 0 is its
//    top-left corner, the canvas clipped to Width x Height) whenever the host was
//    asked to Repaint;
//  - moves its widget when the host hears BoundsChanged (AutoSize), and shows the
//    cursor Cursor() (kLinkCursor is the CRFXLINKPOINT resource) on CursorChanged;
//  - passes the mouse entering and leaving, clicks and accelerator keys on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "controls/Canvas.h"
#include "controls/ScreenColor.h"

namespace setup::controls {

enum TLabelBevel : std::uint8_t { bvFrame, bvLowered, bvNone, bvRaised, bvSingle };
enum TLabelStyle : std::uint8_t { ls3DText, lsCustom, lsLink, lsPath, lsWindow };
enum TLinkType : std::uint8_t { ltEMail, ltNews, ltNone, ltWWW };
enum THighLightPos : std::uint8_t { hpTopLeft, hpTopRight };
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

using TCursor = int;
inline constexpr TCursor crDefault = 0;
// The application's cursor number of the link cursor, loaded from the resource
// named kLinkCursorResource.
inline constexpr TCursor kLinkCursor = -30;
inline constexpr const char* kLinkCursorResource = "CRFXLINKPOINT";

class TFxLabel;

// What a label needs from the renderer that shows it.
class FxLabelHost {
  public:
    virtual ~FxLabelHost() = default;
    // The label's area needs painting again.
    virtual void Repaint(TFxLabel& label) = 0;
    // AutoSize moved or resized the label.
    virtual void BoundsChanged(TFxLabel& label) = 0;
    virtual void CursorChanged(TFxLabel& label) = 0;
    // Opens a link target with the shell (ShellExecuteA: no owner window, "open",
    // no parameters, no folder, shown normally). The outcome is not looked at.
    virtual void OpenLink(std::string_view target) = 0;
};

// The control the accelerator key focuses.
class FocusTarget {
  public:
    virtual ~FocusTarget() = default;
    virtual bool CanFocus() = 0;
    virtual void SetFocus() = 0;
};

class TFxLabel {
  public:
    using Event = std::function<void(TFxLabel& sender)>;

    // `screen` measures text outside painting (the label's font is set on it
    // first); both must outlive the label.
    TFxLabel(Canvas& screen, FxLabelHost& host);
    TFxLabel(const TFxLabel&) = delete;
    TFxLabel& operator=(const TFxLabel&) = delete;

    // Properties are set between these two as when read from a form description:
    // the size follows the text only once, at the end.
    void BeginLoading() { loading_ = true; }
    void EndLoading();

    // Place in the parent's client area.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    TRect ClientRect() const { return {0, 0, width_, height_}; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TLabelBevel BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(TLabelBevel value);
    std::uint16_t BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(std::uint16_t value);
    std::uint16_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(std::uint16_t value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    FocusTarget* FocusControl() const { return focusControl_; }
    // The renderer must call ComponentRemoved when that control goes away.
    void SetFocusControl(FocusTarget* value) { focusControl_ = value; }
    const FontSpec& Font() const { return font_; }
    void SetFont(const FontSpec& value);
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor value);
    std::uint16_t HighlightOffset() const { return highlightOffset_; }
    void SetHighlightOffset(std::uint16_t value);
    THighLightPos HighlightPos() const { return highlightPos_; }
    void SetHighlightPos(THighLightPos value);
    TColor HoverColor() const { return hoverColor_; }
    void SetHoverColor(TColor value);
    TColor HoverFontColor() const { return hoverFontColor_; }
    void SetHoverFontColor(TColor value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool LinkActive() const { return linkActive_; }
    void SetLinkActive(bool value) { linkActive_ = value; }
    const std::string& LinkedAdress() const { return linkedAdress_; }
    void SetLinkedAdress(std::string_view value) { linkedAdress_ = value; }
    TLinkType LinkType() const { return linkType_; }
    void SetLinkType(TLinkType value) { linkType_ = value; }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    std::uint16_t ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(std::uint16_t value);
    bool ShortenFilenames() const { return shortenFilenames_; }
    void SetShortenFilenames(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    bool ShowHighlight() const { return showHighlight_; }
    void SetShowHighlight(bool value);
    bool ShowShadow() const { return showShadow_; }
    void SetShowShadow(bool value);
    TLabelStyle Style() const { return style_; }
    void SetStyle(TLabelStyle value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // The label paints its whole background.
    bool Opaque() const { return !transparent_; }
    bool UnderlineOnEnter() const { return underlineOnEnter_; }
    void SetUnderlineOnEnter(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    bool Hovering() const { return hovering_; }

    Event OnClick;
    Event OnExecuteLink;  // just before a link target goes to the shell
    Event OnMouseEnter;
    Event OnMouseExit;

    // The text as drawn: the caption, shortened as a path to the width less 10
    // pixels when ShortenFilenames is on.
    std::string GetLabelText();
    // The rectangle the text needs, from the top-left corner of `from`.
    TRect CalcTextRect(Canvas& canvas, const TRect& from);
    // With AutoSize (and not while loading): the size that fits text and margins.
    void AdjustBounds();
    void Paint(Canvas& canvas);

    void MouseEnter();
    void MouseLeave();
    void Click();
    // An accelerator key (a character) pressed in the parent; true when handled.
    bool DialogChar(char key);
    // Another control is being destroyed.
    void ComponentRemoved(const FocusTarget* target);

  private:
    enum class Refresh { Repaint, Resize, ResizeWhen, HoverOnly };
    template <typename T>
    void SetStyled(T& field, T value, Refresh refresh, bool shown = true);
    void ApplyPreset();
    bool HoverShown() const { return hovering_ && linkActive_ && enabled_; }
    std::string LabelText(Canvas& canvas);
    void DoDrawText(Canvas& canvas, unsigned flags);
    void DrawBevel(Canvas& canvas);
    void Repaint() { host_.Repaint(*this); }

    Canvas& screen_;
    FxLabelHost& host_;

    int left_ = 0, top_ = 0, width_ = 65, height_ = 17;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TLabelBevel bevelStyle_ = bvNone;
    std::uint16_t bevelWidth_ = 1;
    std::uint16_t borderWidth_ = 0;
    std::string caption_;
    TColor color_ = clBtnFace;
    TCursor cursor_ = crDefault;
    bool enabled_ = true;
    FocusTarget* focusControl_ = nullptr;
    FontSpec font_;
    TColor highlightColor_ = clBtnHighlight;
    std::uint16_t highlightOffset_ = 1;
    THighLightPos highlightPos_ = hpTopLeft;
    TColor hoverColor_ = color_;
    TColor hoverFontColor_ = font_.color;
    TTextLayout layout_ = tlTop;
    bool linkActive_ = false;
    std::string linkedAdress_;
    TLinkType linkType_ = ltWWW;
    TColor shadowColor_ = clBtnShadow;
    std::uint16_t shadowOffset_ = 1;
    bool shortenFilenames_ = false;
    bool showAccelChar_ = true;
    bool showHighlight_ = false;
    bool showShadow_ = false;
    TLabelStyle style_ = lsCustom;
    bool transparent_ = false;
    bool underlineOnEnter_ = true;
    bool wordWrap_ = false;

    bool hovering_ = false;
    TCursor savedCursor_ = crDefault;
    bool applyingStyle_ = false;
    bool loading_ = false;
};

}  // namespace setup::controls
