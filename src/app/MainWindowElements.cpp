#include "app/MainWindowElements.h"

#include <cstdint>
#include <iterator>
#include <string_view>

#include "app/WidgetNames.h"

namespace setup::app {
namespace {

// The layout is a constant table turned into widgets by one loop: building each
// widget in code took some 15 KB of Setup.exe, the table and the loop take 3 KB.

// Fonts of the layout; an element refers to one by index.
enum FontId : std::uint8_t {
    kInheritedFont,  // face empty: the parent's
    kFormFont,
    kBold,
    kBoldBlack,
    kBoldRed,
    kBoldMaroon,
    kBoldVersion,
    kBoldRedLarge,
    kBoldGreenLarge,
    kTitleFont,
};

struct FontEntry {
    const char* face;
    std::uint8_t height;
    bool bold;
    bool italic;
    Color color;
};

constexpr Color kWindowText = Color::System(Color::Source::WindowText);

constexpr FontEntry kFonts[] = {
    {"", 11, false, false, kWindowText},
    {"MS Sans Serif", 11, false, false, kWindowText},
    {"MS Sans Serif", 11, true, false, kWindowText},
    {"MS Sans Serif", 11, true, false, Color::Rgb(0, 0, 0)},
    {"MS Sans Serif", 11, true, false, Color::Rgb(255, 0, 0)},
    {"MS Sans Serif", 11, true, false, Color::Rgb(128, 0, 0)},
    {"MS Sans Serif", 13, true, false, kWindowText},
    {"MS Sans Serif", 16, true, false, Color::Rgb(255, 0, 0)},
    {"MS Sans Serif", 16, true, false, Color::Rgb(0, 128, 0)},
    {"Times New Roman", 37, true, true, Color::Rgb(0, 0, 255)},
};
static_assert(std::size(kFonts) == kTitleFont + 1, "one entry per FontId, in order");

// Backgrounds of the layout, by index.
enum BackgroundId : std::uint8_t { kInherited, kButtonFace, kGray221, kGray187, kGray153 };

constexpr Color kBackgrounds[] = {
    Color::System(Color::Source::Inherit),
    Color::System(Color::Source::ButtonFace),
    Color::Rgb(221, 221, 221),
    Color::Rgb(187, 187, 187),
    Color::Rgb(153, 153, 153),
};
static_assert(std::size(kBackgrounds) == kGray153 + 1, "one entry per BackgroundId, in order");

// Yes/no properties of an element; all off by default.
enum Flag : std::uint16_t {
    kHidden = 1 << 0,
    kWordWrap = 1 << 1,
    kAutoSize = 1 << 2,
    kFocusable = 1 << 3,
    kScrollBar = 1 << 4,
    kReadOnly = 1 << 5,
    kStretch = 1 << 6,      // picture stretched to the box
    kTransparent = 1 << 7,  // picture drawn transparently
    kPathStyle = 1 << 8,    // effect label shortening long paths
    kGlyphTop = 1 << 9,     // button picture above the caption
};

struct Box {
    std::int16_t left, top, width, height;
};

// One element of the window; fields not listed keep the Widget defaults. The
// enumerations are held in bytes (an enum bit-field would sign-extend).
struct Element {
    std::uint8_t kind;
    std::uint8_t align = 0;
    std::uint8_t textAlign = 0;
    std::uint8_t bevel = 0;  // outer bevel; no element has an inner one
    std::uint8_t role = 0;
    std::uint8_t glyph = 0;
    std::uint8_t borderWidth = 0;
    FontId font = kInheritedFont;
    BackgroundId background = kInherited;
    std::uint16_t flags = 0;
    Box box{};
    std::string_view name = "";
    std::string_view parent = "";
    const char* caption = "";
    const char* hint = "";
};

template <typename Enum>
constexpr std::uint8_t Byte(Enum value) {
    return static_cast<std::uint8_t>(value);
}

constexpr Element Make(WidgetKind kind, std::string_view name, std::string_view parent, Box box) {
    Element e{Byte(kind)};
    e.name = name.data();  // the names are literals, so NUL-terminated
    e.parent = parent.data();
    e.box = box;
    return e;
}

constexpr Element With(Element e, std::uint16_t flags) {
    e.flags |= flags;
    return e;
}

// A raised panel with a border, as the window's three bands are.
constexpr Element Band(std::string_view name, Align align, Box box, BackgroundId color) {
    Element e = Make(WidgetKind::Panel, name, kMainForm, box);
    e.align = Byte(align);
    e.borderWidth = 4;
    e.bevel = Byte(Bevel::Raised);
    e.background = color;
    return e;
}

// A wizard page: 401 by 149 with a lowered bevel, hidden unless it is the first.
constexpr Element Page(std::string_view name, bool visible) {
    Element e = Make(WidgetKind::Panel, name, kPanelMain, {16, 28, 401, 149});
    e.bevel = Byte(Bevel::Lowered);
    return visible ? e : With(e, kHidden);
}

constexpr Element Text(std::string_view name, std::string_view parent, Box box,
                       const char* caption) {
    Element e = Make(WidgetKind::Label, name, parent, box);
    e.caption = caption;
    return e;
}

// A result label of a page: bold, word-wrapped, fixed size, hidden at first.
constexpr Element Result(std::string_view name, std::string_view parent, Box box, FontId font,
                         const char* caption) {
    Element e = With(Text(name, parent, box, caption), kWordWrap | kHidden);
    e.font = font;
    return e;
}

// The finish page's texts, visible from the start under the page panels.
constexpr Element Finish(std::string_view name, FontId font, const char* caption) {
    Element e = Make(WidgetKind::Label, name, kPanelMain, {16, 80, 401, 97});
    e.caption = caption;
    e.font = font;
    e.textAlign = Byte(TextAlign::Center);
    return With(e, kWordWrap);
}

constexpr Element Picture(std::string_view name, std::string_view parent, Box box, Glyph glyph) {
    Element e = Make(WidgetKind::Picture, name, parent, box);
    e.glyph = Byte(glyph);
    return With(e, kTransparent);
}

constexpr Element BottomButton(std::string_view name, const char* caption, std::int16_t left,
                               bool visible, ButtonRole role, Glyph glyph) {
    Element e = Make(WidgetKind::Button, name, kPanelBottom, {left, 8, 85, 26});
    e.caption = caption;
    e.role = Byte(role);
    e.glyph = Byte(glyph);
    return With(e, visible ? kFocusable : kFocusable | kHidden);
}

constexpr Element Speed(std::string_view name, Box box, const char* caption, const char* hint,
                        Glyph glyph) {
    Element e = Make(WidgetKind::SpeedButton, name, kPanelAuswahl, box);
    e.caption = caption;
    e.hint = hint;
    e.glyph = Byte(glyph);
    return e;
}

constexpr Element List(std::string_view name, Box box, const char* hint) {
    Element e = Make(WidgetKind::ListBox, name, kPanelAuswahl, box);
    e.hint = hint;
    return With(e, kFocusable);
}

constexpr Element PathLabel(std::string_view name, Box box) {
    Element e = Make(WidgetKind::EffectLabel, name, kPanelDateinamen, box);
    e.font = kBold;
    return With(e, kPathStyle);
}

constexpr Element Form() {
    Element e = Make(WidgetKind::Form, kMainForm, "", {0, 0, kFormClientWidth, kFormClientHeight});
    e.font = kFormFont;
    e.background = kButtonFace;
    return e;
}

constexpr Element Title() {
    // Right-aligned inside the panel's border (4) and bevel (1).
    Element e = Make(WidgetKind::EffectLabel, kProgName, kPanelTop, {88, 5, 342, 47});
    e.align = Byte(Align::Right);
    e.textAlign = Byte(TextAlign::Center);
    e.font = kTitleFont;
    e.background = kGray221;
    return e;
}

constexpr Element VersionLine() {
    Element e = Text(kVersion, kPanelMain, {5, 5, 425, 16}, "");
    e.align = Byte(Align::Top);
    e.textAlign = Byte(TextAlign::Center);
    e.font = kBoldVersion;
    return e;
}

constexpr Element InfoMemo() {
    Element e = Make(WidgetKind::Memo, kMemoInfos, kPanelMain, {16, 28, 401, 149});
    e.background = kButtonFace;
    return With(e, kScrollBar | kReadOnly | kHidden | kFocusable);
}

constexpr Element BrowseButton() {
    Element e = Make(WidgetKind::Button, kBtnSuchen, kPanelVerzWahl, {306, 48, 85, 49});
    e.caption = "S&uchen..";
    e.glyph = Byte(Glyph::Browse);
    return With(e, kGlyphTop | kFocusable);
}

constexpr Element GroupName() {
    Element e = Text(kLblPrgGruppe, kPanelPrgGruppe, {8, 78, 349, 13}, "");
    e.font = kBold;
    return With(e, kHidden);
}

// Parents come before their children; later siblings lie above earlier ones.
constexpr Element kLayout[] = {
    Form(),

    // Title band.
    Band(kPanelTop, Align::Top, {0, 0, 435, 57}, kGray221),
    With(Make(WidgetKind::Picture, kLogo, kPanelTop, {6, 6, 80, 45}), kStretch),
    Title(),

    // Main band. The finish page's texts lie under the page panels; Erfolgsmeldung
    // covers Fehlermeldung whenever it is visible.
    Band(kPanelMain, Align::Client, {0, 57, 435, 199}, kGray187),
    VersionLine(),
    Finish(kFehlermeldung, kBoldRedLarge,
           "W\xE4hrend der Installation sind Fehler aufgetreten. Klicken Sie auf die "
           "[&Beenden]-Taste, um den Installationsvorgang abzuschlie\337en."),
    Finish(kErfolgsmeldung, kBoldGreenLarge,
           "Die Installation der Programmdateien war erfolgreich. Klicken Sie auf die "
           "[&Beenden]-Taste, um den Installationsvorgang abzuschlie\337en."),

    // Target folder page.
    Page(kPanelVerzWahl, true),
    Picture(kImgInstallDir, kPanelVerzWahl, {9, 9, 32, 32}, Glyph::Folder),
    With(Text(kLblVerzWahl, kPanelVerzWahl, {8, 48, 297, 33},
              "Bitte w\xE4hlen Sie ein Zielverzeichnis f\xFCr die Installation:"),
         kWordWrap),
    With(Make(WidgetKind::Edit, kEditInstallDir, kPanelVerzWahl, {8, 76, 291, 21}), kFocusable),
    BrowseButton(),

    InfoMemo(),

    // Module page.
    Page(kPanelAuswahl, false),
    With(Text(kLabel1, kPanelAuswahl, {8, 4, 0, 13}, "Nicht installieren :"), kAutoSize),
    With(Text(kLabel2, kPanelAuswahl, {218, 4, 0, 13}, "Installieren :"), kAutoSize),
    List(kListeNotInstall, {8, 20, 176, 98}, "Programmteile, die nicht installiert werden"),
    List(kListeInstall, {217, 20, 177, 98}, "Programmteile, die installiert werden"),
    Speed(kSBRechts, {188, 36, 25, 25}, "", "Links gew\xE4hlte Module installieren",
          Glyph::MoveRight),
    Speed(kSBLinks, {188, 80, 25, 25}, "", "Rachts gew\xE4hlte Module nicht installieren",
          Glyph::MoveLeft),
    Speed(kSBAlleLinks, {9, 122, 176, 21}, "Alles w\xE4hlen", "", Glyph::None),
    Speed(kSBAllesRechts, {217, 122, 177, 21}, "Alles w\xE4hlen", "", Glyph::None),

    // Copy page.
    Page(kPanelKopieren, false),
    Picture(kImgKopieren, kPanelKopieren, {6, 6, 32, 32}, Glyph::Copy),
    Result(kMsgKopierenErfolg, kPanelKopieren, {4, 44, 393, 97}, kBoldBlack,
           "Alle Programmdateien wurden erfolgreich kopiert. \r\n\r\nKlicken Sie auf die "
           "[&Weiter]-Taste, um mit der Installation fortzufahren."),
    Result(kMsgKopierenFehler, kPanelKopieren, {4, 44, 393, 93}, kBoldRed,
           "Beim Kopieren der Programmdateien sind  Fehler aufgetreten. \r\n\r\nKlicken Sie "
           "auf die [&Weiter]-Taste, um trotzdem mit der Installation fortzufahren."),
    Result(kMsgKopierenAbbruch, kPanelKopieren, {4, 44, 393, 93}, kBoldBlack,
           "Nicht alle Dateien wurden kopiert.\r\n\r\nDies kann dazu f\xFChren, da\xDF das "
           "installierte Programm nicht vollst\xE4ndig lauff\xE4hig ist. \r\n\r\nKlicken Sie auf "
           "die [&Weiter]-Taste, um tortzdem mit der Installation fortzufahren."),
    With(Make(WidgetKind::Panel, kPanelDateinamen, kPanelKopieren, {4, 40, 393, 105}), kHidden),
    With(Text(kLblKopieren1, kPanelDateinamen, {8, 16, 0, 13}, "Kopiere Datei:"), kAutoSize),
    PathLabel(kLblQuellDatei, {8, 32, 377, 13}),
    With(Text(kLblKopieren2, kPanelDateinamen, {8, 56, 0, 13}, "Nach:"), kAutoSize),
    PathLabel(kLblZielDatei, {8, 72, 377, 13}),

    // Program group page.
    Page(kPanelPrgGruppe, false),
    Picture(kImgPrgGruppe, kPanelPrgGruppe, {8, 8, 32, 32}, Glyph::ProgramGroup),
    With(Text(kLabelPrgGruppe, kPanelPrgGruppe, {8, 58, 240, 13},
              "Erstelle eine Programmgruppe und Verkn\xFCpfungen:"),
         kHidden),
    GroupName(),
    Result(kMsgPrgGruppeErfolg, kPanelPrgGruppe, {8, 48, 389, 49}, kBoldBlack,
           "Die Programmgruppe und die Verkn\xFCpfungen wurden erstellt. Klicken Sie auf die "
           "[&Weiter]-Taste, um mit der Installation fortzufahren."),
    Result(kMsgPrgGruppeFehler, kPanelPrgGruppe, {8, 48, 385, 49}, kBoldRed,
           "Bei der Erstellung der Programmgruppe und der Verkn\xFCpfungen ist ein Fehler "
           "aufgetreten. Klicken Sie auf die [&Weiter]-Taste, um mit der Installation "
           "fortzufahren"),
    Result(kMsgPrgGruppeCancel, kPanelPrgGruppe, {8, 48, 385, 65}, kBoldMaroon,
           "Es wurden keine Programmgruppe und keine Verkn\xFCpfungen erstellt. \r\n\r\nKlicken "
           "Sie auf die [&Weiter]-Taste, um mit der Installation fortzufahren."),

    // Button band.
    Band(kPanelBottom, Align::Bottom, {0, 256, 435, 41}, kGray153),
    BottomButton(kBtnWeiter, "&Weiter..", 240, true, ButtonRole::Default, Glyph::Next),
    BottomButton(kBtnCancel, "&Abbruch", 332, true, ButtonRole::Cancel, Glyph::Cancel),
    BottomButton(kBtnOK, "OK", 148, false, ButtonRole::Normal, Glyph::Ok),
    BottomButton(kBtnYes, "&Ja", 56, false, ButtonRole::Normal, Glyph::Yes),
    BottomButton(kBtnNo, "&Nein", 240, false, ButtonRole::Cancel, Glyph::No),
    BottomButton(kBtnBeenden, "&Beenden", 240, false, ButtonRole::Default, Glyph::Finish),
    BottomButton(kBtnStarten, "&Starten", 148, false, ButtonRole::Default, Glyph::Start),
};

}  // namespace

void BuildMainWindow(WidgetModel& model) {
    for (const Element& e : kLayout) {
        // Filled in place: a Widget built here and moved in would inline its copy.
        Widget& w = model.Add({});
        w.name = e.name;
        w.kind = static_cast<WidgetKind>(e.kind);
        w.parent = e.parent;
        w.bounds = {e.box.left, e.box.top, e.box.width, e.box.height};
        w.align = static_cast<Align>(e.align);
        w.caption = e.caption;
        w.visible = (e.flags & kHidden) == 0;
        w.hint = e.hint;
        const FontEntry& font = kFonts[e.font];
        w.font.face = font.face;
        w.font.height = font.height;
        w.font.bold = font.bold;
        w.font.italic = font.italic;
        w.font.color = font.color;
        w.background = kBackgrounds[e.background];
        w.textAlign = static_cast<TextAlign>(e.textAlign);
        w.wordWrap = (e.flags & kWordWrap) != 0;
        w.autoSize = (e.flags & kAutoSize) != 0;
        w.borderWidth = e.borderWidth;
        w.bevelOuter = static_cast<Bevel>(e.bevel);
        w.role = static_cast<ButtonRole>(e.role);
        w.glyph = static_cast<Glyph>(e.glyph);
        w.glyphPlacement = (e.flags & kGlyphTop) != 0 ? GlyphPlacement::Top : GlyphPlacement::Left;
        w.focusable = (e.flags & kFocusable) != 0;
        w.verticalScrollBar = (e.flags & kScrollBar) != 0;
        w.readOnly = (e.flags & kReadOnly) != 0;
        w.picture.stretch = (e.flags & kStretch) != 0;
        w.picture.transparent = (e.flags & kTransparent) != 0;
        w.effect.pathStyle = (e.flags & kPathStyle) != 0;
    }
    model.SetFocus(kEditInstallDir);
}

}  // namespace setup::app
