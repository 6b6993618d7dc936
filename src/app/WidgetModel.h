// The main window as plain data: every element of its layout with name, kind,
// place, size, font, colours, caption, visibility, enabled state and hint.
// The wizard logic (TMainForm) reads and changes only this model; a renderer
// (Win32 controls, or the headless backend) creates its widgets from All(), in
// order, and keeps them in sync through the change listener.
//  - Places are design pixels at 96 DPI, relative to the parent's client area;
//    Align says how the element follows a resized parent (None keeps its place).
//  - Siblings later in All() lie above earlier ones (z-order); the same order is
//    the tab order of focusable elements.
//  - Setters notify only on a real change, so a renderer that copies user input
//    (edit text, list selection) into the model may ignore the echo.
//  - Users act through TMainForm (Click, RequestClose, ...), never on the model.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup::app {

enum class WidgetKind {
    Form,         // the main window itself; its caption is the window caption
    Panel,        // container with border width and bevels
    Label,        // static text
    EffectLabel,  // text with shadow/highlight effects; rendered as a label for now
    Button,       // push button with a picture beside or above its caption
    SpeedButton,  // flat button that never takes the keyboard focus
    Edit,         // one-line text field
    Memo,         // multi-line text box
    ListBox,      // sorted multi-select list
    Picture,      // image box
};

// How an element follows its parent's client area when that is resized.
enum class Align { None, Top, Bottom, Right, Client };

enum class TextAlign { Left, Center, Right };

enum class Bevel { None, Raised, Lowered };

// Which key a button answers besides its click: Enter (Default) or Escape (Cancel).
enum class ButtonRole { Normal, Default, Cancel };

// Pictures drawn or made by the renderer; the model only names them.
enum class Glyph {
    None,
    Next,          // BtnWeiter
    Cancel,        // BtnCancel
    Ok,            // BtnOK
    Yes,           // BtnYes
    No,            // BtnNo
    Finish,        // BtnBeenden
    Start,         // BtnStarten
    Browse,        // BtnSuchen
    Folder,        // ImgInstallDir
    Copy,          // ImgKopieren
    ProgramGroup,  // ImgPrgGruppe
    MoveRight,     // SBRechts
    MoveLeft,      // SBLinks
};

enum class GlyphPlacement { Left, Top };

// A colour: either fixed red/green/blue or one of the system's colours.
struct Color {
    enum class Source { Rgb, WindowText, ButtonFace, Window, Inherit };
    Source source = Source::Inherit;
    std::uint8_t r = 0, g = 0, b = 0;

    static constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return {Source::Rgb, red, green, blue};
    }
    static constexpr Color System(Source source) { return {source, 0, 0, 0}; }
    bool operator==(const Color&) const = default;
};

// Height is the character height in pixels at 96 DPI (8 point = 11 pixels).
// An empty face inherits the parent's font face.
struct Font {
    std::string face;
    int height = 11;
    bool bold = false;
    bool italic = false;
    Color color = Color::System(Color::Source::WindowText);
    bool operator==(const Font&) const = default;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// A picture box: what to load and how to draw it. The file is loaded by the
// renderer; `loadable` is false for formats the loader does not read (only
// bmp, ico, wmf and emf are), and such a box stays empty.
struct PictureSource {
    std::string path;  // empty: no file (the renderer may draw `glyph` instead)
    bool loadable = false;
    bool stretch = false;
    bool autoSize = false;
    bool center = false;
    bool transparent = false;
    bool operator==(const PictureSource&) const = default;
};

// Settings of the effect label that a later renderer draws; plain label until then.
struct EffectStyle {
    Color shadowColor = Color::Rgb(0, 0, 128);
    Color highlightColor = Color::Rgb(0, 255, 255);
    bool shadow = false;
    bool highlight = false;
    bool link = false;
    bool pathStyle = false;  // long paths shortened in the middle
    Color hoverBackground = Color::System(Color::Source::ButtonFace);
    Color hoverText = Color::System(Color::Source::WindowText);
    bool operator==(const EffectStyle&) const = default;
};

struct ListItem {
    std::string text;
    bool selected = false;
    bool operator==(const ListItem&) const = default;
};

struct Widget {
    std::string name;
    WidgetKind kind = WidgetKind::Label;
    std::string parent;  // empty only for the form
    Rect bounds;
    Align align = Align::None;

    std::string caption;  // label and button caption, edit and memo text, form caption
    bool visible = true;
    bool enabled = true;
    std::string hint;  // shown when the mouse rests on the element

    Font font;  // face empty: inherited from the parent
    Color background = Color::System(Color::Source::Inherit);
    TextAlign textAlign = TextAlign::Left;
    bool wordWrap = false;
    bool autoSize = false;  // labels: size follows the text

    // Panels.
    int borderWidth = 0;
    Bevel bevelOuter = Bevel::None;
    Bevel bevelInner = Bevel::None;

    // Buttons and speed buttons.
    ButtonRole role = ButtonRole::Normal;
    Glyph glyph = Glyph::None;
    GlyphPlacement glyphPlacement = GlyphPlacement::Left;

    bool focusable = false;  // takes the keyboard focus (tab stop)

    // Memo.
    bool verticalScrollBar = false;
    bool readOnly = false;

    // Lists: kept sorted without regard to letter case, several items selectable.
    std::vector<ListItem> items;
    int itemHeight = 13;

    // Pictures.
    PictureSource picture;

    // Effect labels.
    EffectStyle effect;
};

enum class Change {
    Caption,
    Visible,
    Enabled,
    Bounds,
    Items,      // items added, removed or reordered (selection may have changed too)
    Selection,  // only the selection of list items
    Picture,
    Focus,       // the widget named is now the focused one
    BusyCursor,  // the form's hourglass cursor was switched on or off
    AppTitle,    // the application's title (task-bar text) changed
};

// Reports one change; `widget` is the element that changed (the form for
// BusyCursor and AppTitle).
using ChangeListener = std::function<void(const Widget& widget, Change change)>;

class WidgetModel {
  public:
    // Builds the model. Parents must be added before their children.
    Widget& Add(Widget widget);

    // Every element in creation order (parents first; later siblings above).
    const std::vector<Widget>& All() const { return widgets_; }
    const Widget* Find(std::string_view name) const;
    // The element of that name; a missing name is a programming error (terminates).
    const Widget& Get(std::string_view name) const;
    std::vector<const Widget*> ChildrenOf(std::string_view name) const;

    // Visible itself and every parent up to the form.
    bool IsShowing(std::string_view name) const;
    // Showing, and not hidden under a showing later sibling (or a later sibling of
    // a parent) whose rectangle covers it completely.
    bool IsOnScreen(std::string_view name) const;

    void SetCaption(std::string_view name, std::string_view text);
    void SetVisible(std::string_view name, bool visible);
    void SetEnabled(std::string_view name, bool enabled);
    void SetBounds(std::string_view name, Rect bounds);
    void SetPicture(std::string_view name, PictureSource picture);

    // Lists.
    void ClearItems(std::string_view list);
    // Inserts at the item's sorted place (the system's text order, letter case ignored; equal texts
    // go after the existing ones); returns its index.
    std::size_t AddItem(std::string_view list, std::string_view text);
    void DeleteItem(std::string_view list, std::size_t index);
    void SetSelected(std::string_view list, std::size_t index, bool selected);

    // The focused element (empty: none). When it is hidden (itself or a parent) or
    // disabled, the focus moves on as the window's does: to the next element in
    // the model's order, wrapping around, that takes the focus, shows and is
    // enabled; none when there is none. So the focus a step sets again at its end
    // is a change, which the window follows.
    const std::string& Focused() const { return focused_; }
    void SetFocus(std::string_view name);

    // Application title: the task-bar text, also the caption of error boxes.
    const std::string& AppTitle() const { return appTitle_; }
    void SetAppTitle(std::string_view title);

    bool BusyCursor() const { return busy_; }
    void SetBusyCursor(bool busy);

    // One listener; a renderer installs it after creating its widgets.
    void SetListener(ChangeListener listener) { listener_ = std::move(listener); }

  private:
    Widget& Mutable(std::string_view name);
    void Notify(const Widget& widget, Change change) const;
    bool TakesFocus(const Widget& widget) const;
    void KeepFocusUsable();

    std::vector<Widget> widgets_;
    std::string focused_;
    std::string appTitle_;
    bool busy_ = false;
    ChangeListener listener_;
};

}  // namespace setup::app
