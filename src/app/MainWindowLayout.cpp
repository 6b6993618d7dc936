#include "app/MainWindowLayout.h"

#include <utility>

namespace setup::app {
namespace {

constexpr Color kBlack = Color::Rgb(0, 0, 0);
constexpr Color kRed = Color::Rgb(255, 0, 0);
constexpr Color kGreen = Color::Rgb(0, 128, 0);
constexpr Color kMaroon = Color::Rgb(128, 0, 0);
constexpr Color kBlue = Color::Rgb(0, 0, 255);
constexpr Color kButtonFace = Color::System(Color::Source::ButtonFace);

Widget Make(WidgetKind kind, std::string name, std::string parent, Rect bounds) {
    Widget w;
    w.kind = kind;
    w.name = std::move(name);
    w.parent = std::move(parent);
    w.bounds = bounds;
    return w;
}

Font Bold(int height, Color color = Color::System(Color::Source::WindowText)) {
    return Font{"MS Sans Serif", height, true, false, color};
}

// A raised panel with a border, as the window's three bands are.
Widget Band(std::string name, Align align, Rect bounds, Color color) {
    Widget w = Make(WidgetKind::Panel, std::move(name), "MainForm", bounds);
    w.align = align;
    w.borderWidth = 4;
    w.bevelOuter = Bevel::Raised;
    w.background = color;
    return w;
}

// A wizard page: 401 by 149 with a lowered bevel, hidden unless it is the first.
Widget Page(std::string name, bool visible) {
    Widget w = Make(WidgetKind::Panel, std::move(name), "PanelMain", {16, 28, 401, 149});
    w.bevelOuter = Bevel::Lowered;
    w.visible = visible;
    return w;
}

Widget Text(std::string name, std::string parent, Rect bounds, std::string caption) {
    Widget w = Make(WidgetKind::Label, std::move(name), std::move(parent), bounds);
    w.caption = std::move(caption);
    return w;
}

// A result label of a page: bold, word-wrapped, fixed size, hidden at first.
Widget Result(std::string name, std::string parent, Rect bounds, Color color, std::string caption) {
    Widget w = Text(std::move(name), std::move(parent), bounds, std::move(caption));
    w.font = Bold(11, color);
    w.wordWrap = true;
    w.visible = false;
    return w;
}

Widget Picture(std::string name, std::string parent, Rect bounds, Glyph glyph) {
    Widget w = Make(WidgetKind::Picture, std::move(name), std::move(parent), bounds);
    w.glyph = glyph;
    w.picture.transparent = true;
    return w;
}

Widget BottomButton(std::string name, std::string caption, int left, bool visible, ButtonRole role,
                    Glyph glyph) {
    Widget w = Make(WidgetKind::Button, std::move(name), "PanelBottom", {left, 8, 85, 26});
    w.caption = std::move(caption);
    w.visible = visible;
    w.role = role;
    w.glyph = glyph;
    w.focusable = true;
    return w;
}

Widget Speed(std::string name, Rect bounds, std::string caption, std::string hint, Glyph glyph) {
    Widget w = Make(WidgetKind::SpeedButton, std::move(name), "PanelAuswahl", bounds);
    w.caption = std::move(caption);
    w.hint = std::move(hint);
    w.glyph = glyph;
    return w;
}

Widget List(std::string name, Rect bounds, std::string hint) {
    Widget w = Make(WidgetKind::ListBox, std::move(name), "PanelAuswahl", bounds);
    w.hint = std::move(hint);
    w.itemHeight = 13;
    w.focusable = true;
    return w;
}

Widget PathLabel(std::string name, Rect bounds) {
    Widget w = Make(WidgetKind::EffectLabel, std::move(name), "PanelDateinamen", bounds);
    w.font = Bold(11);
    w.effect.pathStyle = true;
    return w;
}

void AddTitle(WidgetModel& m) {
    m.Add(Band("PanelTop", Align::Top, {0, 0, 435, 57}, Color::Rgb(221, 221, 221)));

    Widget logo = Make(WidgetKind::Picture, "Logo", "PanelTop", {6, 6, 80, 45});
    logo.picture.stretch = true;
    m.Add(std::move(logo));

    // Right-aligned inside the panel's border (4) and bevel (1).
    Widget name = Make(WidgetKind::EffectLabel, "ProgName", "PanelTop", {88, 5, 342, 47});
    name.align = Align::Right;
    name.textAlign = TextAlign::Center;
    name.font = Font{"Times New Roman", 37, true, true, kBlue};
    name.background = Color::Rgb(221, 221, 221);
    m.Add(std::move(name));
}

void AddFolderPage(WidgetModel& m) {
    m.Add(Page("PanelVerzWahl", true));
    m.Add(Picture("ImgInstallDir", "PanelVerzWahl", {9, 9, 32, 32}, Glyph::Folder));
    Widget prompt = Text("LblVerzWahl", "PanelVerzWahl", {8, 48, 297, 33},
                         "Bitte wählen Sie ein Zielverzeichnis für die Installation:");
    prompt.wordWrap = true;
    m.Add(std::move(prompt));
    Widget edit = Make(WidgetKind::Edit, "EditInstallDir", "PanelVerzWahl", {8, 76, 291, 21});
    edit.focusable = true;
    m.Add(std::move(edit));
    Widget browse = Make(WidgetKind::Button, "BtnSuchen", "PanelVerzWahl", {306, 48, 85, 49});
    browse.caption = "S&uchen..";
    browse.glyph = Glyph::Browse;
    browse.glyphPlacement = GlyphPlacement::Top;
    browse.focusable = true;
    m.Add(std::move(browse));
}

void AddInfoMemo(WidgetModel& m) {
    Widget memo = Make(WidgetKind::Memo, "MemoInfos", "PanelMain", {16, 28, 401, 149});
    memo.background = kButtonFace;
    memo.verticalScrollBar = true;
    memo.readOnly = true;
    memo.visible = false;
    memo.focusable = true;
    m.Add(std::move(memo));
}

void AddModulePage(WidgetModel& m) {
    m.Add(Page("PanelAuswahl", false));
    Widget left = Text("Label1", "PanelAuswahl", {8, 4, 0, 13}, "Nicht installieren :");
    left.autoSize = true;
    m.Add(std::move(left));
    Widget right = Text("Label2", "PanelAuswahl", {218, 4, 0, 13}, "Installieren :");
    right.autoSize = true;
    m.Add(std::move(right));
    m.Add(List("ListeNotInstall", {8, 20, 176, 98}, "Programmteile, die nicht installiert werden"));
    m.Add(List("ListeInstall", {217, 20, 177, 98}, "Programmteile, die installiert werden"));
    m.Add(Speed("SBRechts", {188, 36, 25, 25}, "", "Links gewählte Module installieren",
                Glyph::MoveRight));
    m.Add(Speed("SBLinks", {188, 80, 25, 25}, "", "Rachts gewählte Module nicht installieren",
                Glyph::MoveLeft));
    m.Add(Speed("SBAlleLinks", {9, 122, 176, 21}, "Alles wählen", "", Glyph::None));
    m.Add(Speed("SBAllesRechts", {217, 122, 177, 21}, "Alles wählen", "", Glyph::None));
}

void AddCopyPage(WidgetModel& m) {
    m.Add(Page("PanelKopieren", false));
    m.Add(Picture("ImgKopieren", "PanelKopieren", {6, 6, 32, 32}, Glyph::Copy));
    m.Add(Result("MsgKopierenErfolg", "PanelKopieren", {4, 44, 393, 97}, kBlack,
                 "Alle Programmdateien wurden erfolgreich kopiert. \r\n\r\nKlicken Sie auf die "
                 "[&Weiter]-Taste, um mit der Installation fortzufahren."));
    m.Add(Result("MsgKopierenFehler", "PanelKopieren", {4, 44, 393, 93}, kRed,
                 "Beim Kopieren der Programmdateien sind  Fehler aufgetreten. \r\n\r\nKlicken "
                 "Sie auf die [&Weiter]-Taste, um trotzdem mit der Installation fortzufahren."));
    m.Add(Result("MsgKopierenAbbruch", "PanelKopieren", {4, 44, 393, 93}, kBlack,
                 "Nicht alle Dateien wurden kopiert.\r\n\r\nDies kann dazu führen, daß das "
                 "installierte Programm nicht vollständig lauffähig ist. \r\n\r\nKlicken Sie "
                 "auf die [&Weiter]-Taste, um tortzdem mit der Installation fortzufahren."));
    Widget names = Make(WidgetKind::Panel, "PanelDateinamen", "PanelKopieren", {4, 40, 393, 105});
    names.visible = false;
    m.Add(std::move(names));
    Widget from = Text("LblKopieren1", "PanelDateinamen", {8, 16, 0, 13}, "Kopiere Datei:");
    from.autoSize = true;
    m.Add(std::move(from));
    m.Add(PathLabel("LblQuellDatei", {8, 32, 377, 13}));
    Widget to = Text("LblKopieren2", "PanelDateinamen", {8, 56, 0, 13}, "Nach:");
    to.autoSize = true;
    m.Add(std::move(to));
    m.Add(PathLabel("LblZielDatei", {8, 72, 377, 13}));
}

void AddProgramGroupPage(WidgetModel& m) {
    m.Add(Page("PanelPrgGruppe", false));
    m.Add(Picture("ImgPrgGruppe", "PanelPrgGruppe", {8, 8, 32, 32}, Glyph::ProgramGroup));
    Widget prompt = Text("LabelPrgGruppe", "PanelPrgGruppe", {8, 58, 240, 13},
                         "Erstelle eine Programmgruppe und Verknüpfungen:");
    prompt.visible = false;
    m.Add(std::move(prompt));
    Widget group = Text("LblPrgGruppe", "PanelPrgGruppe", {8, 78, 349, 13}, "");
    group.font = Bold(11);
    group.visible = false;
    m.Add(std::move(group));
    m.Add(Result("MsgPrgGruppeErfolg", "PanelPrgGruppe", {8, 48, 389, 49}, kBlack,
                 "Die Programmgruppe und die Verknüpfungen wurden erstellt. Klicken Sie auf die "
                 "[&Weiter]-Taste, um mit der Installation fortzufahren."));
    m.Add(Result("MsgPrgGruppeFehler", "PanelPrgGruppe", {8, 48, 385, 49}, kRed,
                 "Bei der Erstellung der Programmgruppe und der Verknüpfungen ist ein Fehler "
                 "aufgetreten. Klicken Sie auf die [&Weiter]-Taste, um mit der Installation "
                 "fortzufahren"));
    m.Add(Result("MsgPrgGruppeCancel", "PanelPrgGruppe", {8, 48, 385, 65}, kMaroon,
                 "Es wurden keine Programmgruppe und keine Verknüpfungen erstellt. \r\n\r\nKlicken "
                 "Sie auf die [&Weiter]-Taste, um mit der Installation fortzufahren."));
}

void AddMain(WidgetModel& m) {
    m.Add(Band("PanelMain", Align::Client, {0, 57, 435, 199}, Color::Rgb(187, 187, 187)));

    Widget version = Text("Version", "PanelMain", {5, 5, 425, 16}, "");
    version.align = Align::Top;
    version.textAlign = TextAlign::Center;
    version.font = Bold(13);
    m.Add(std::move(version));

    // The finish page's texts lie under the page panels; Erfolgsmeldung covers
    // Fehlermeldung whenever it is visible.
    Widget failure = Result("Fehlermeldung", "PanelMain", {16, 80, 401, 97}, kRed,
                            "Während der Installation sind Fehler aufgetreten. Klicken Sie auf "
                            "die [&Beenden]-Taste, um den Installationsvorgang abzuschließen.");
    failure.font.height = 16;
    failure.textAlign = TextAlign::Center;
    failure.visible = true;
    m.Add(std::move(failure));
    Widget success = Result("Erfolgsmeldung", "PanelMain", {16, 80, 401, 97}, kGreen,
                            "Die Installation der Programmdateien war erfolgreich. Klicken Sie "
                            "auf die [&Beenden]-Taste, um den Installationsvorgang "
                            "abzuschließen.");
    success.font.height = 16;
    success.textAlign = TextAlign::Center;
    success.visible = true;
    m.Add(std::move(success));

    AddFolderPage(m);
    AddInfoMemo(m);
    AddModulePage(m);
    AddCopyPage(m);
    AddProgramGroupPage(m);
}

void AddButtons(WidgetModel& m) {
    m.Add(Band("PanelBottom", Align::Bottom, {0, 256, 435, 41}, Color::Rgb(153, 153, 153)));
    m.Add(BottomButton("BtnWeiter", "&Weiter..", 240, true, ButtonRole::Default, Glyph::Next));
    m.Add(BottomButton("BtnCancel", "&Abbruch", 332, true, ButtonRole::Cancel, Glyph::Cancel));
    m.Add(BottomButton("BtnOK", "OK", 148, false, ButtonRole::Normal, Glyph::Ok));
    m.Add(BottomButton("BtnYes", "&Ja", 56, false, ButtonRole::Normal, Glyph::Yes));
    m.Add(BottomButton("BtnNo", "&Nein", 240, false, ButtonRole::Cancel, Glyph::No));
    m.Add(BottomButton("BtnBeenden", "&Beenden", 240, false, ButtonRole::Default, Glyph::Finish));
    m.Add(BottomButton("BtnStarten", "&Starten", 148, false, ButtonRole::Default, Glyph::Start));
}

}  // namespace

void BuildMainWindow(WidgetModel& model) {
    Widget form =
        Make(WidgetKind::Form, "MainForm", "", {0, 0, kFormClientWidth, kFormClientHeight});
    form.font = Font{"MS Sans Serif", 11, false, false, Color::System(Color::Source::WindowText)};
    form.background = kButtonFace;
    model.Add(std::move(form));
    AddTitle(model);
    AddMain(model);
    AddButtons(model);
    model.SetFocus("EditInstallDir");
}

}  // namespace setup::app
