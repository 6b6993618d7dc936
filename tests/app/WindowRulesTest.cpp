// The main window's rules that follow from the model alone: docking on resize,
// stacking order, and the buttons Enter and Escape press, also through sessions.
#include "app/WindowRules.h"

#include <initializer_list>
#include <ostream>

#include "app/MainWindowElements.h"
#include "app/WidgetNames.h"
#include "support/WizardTest.h"

namespace setup::app {

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

namespace {

std::size_t IndexOf(const WidgetModel& model, std::string_view name) {
    return static_cast<std::size_t>(&model.Get(name) - model.All().data());
}

std::string NameAt(const WidgetModel& model, std::optional<std::size_t> index) {
    return index ? model.All()[*index].name : "none";
}

// Where `name` goes when its parent's client area is `client`.
Rect PlaceOf(const WidgetModel& model, std::string_view name, Size client, int dpi,
             const TextMeasure& measure = {}) {
    const Widget& w = model.Get(name);
    for (const Placement& p :
         LayOutChildren(model, IndexOf(model, w.parent), client, dpi, measure)) {
        if (p.index == IndexOf(model, name)) {
            return p.bounds;
        }
    }
    ADD_FAILURE() << name << " was not placed";
    return {};
}

Size SizeOf(const Rect& r) {
    return {r.width, r.height};
}

TEST(WindowRules, ResizingKeepsTheBandsHeightsAndTheContentsPlaces) {
    struct Case {
        Size client;
        int dpi;
        Rect top, main, bottom;
        Rect title;    // ProgName, aligned right in PanelTop
        Rect version;  // Version, along the top of PanelMain
        Rect button;   // BtnWeiter, not aligned
    };
    const Case cases[] = {
        // At the design size every element is where the design puts it.
        {{435, 297},
         96,
         {0, 0, 435, 57},
         {0, 57, 435, 199},
         {0, 256, 435, 41},
         {88, 5, 342, 47},
         {5, 5, 425, 16},
         {240, 8, 85, 26}},
        {{640, 480},
         96,
         {0, 0, 640, 57},
         {0, 57, 640, 382},
         {0, 439, 640, 41},
         {293, 5, 342, 47},
         {5, 5, 630, 16},
         {240, 8, 85, 26}},
        // 150 %: design pixels scaled, halves rounded up (85 * 1.5 = 127.5).
        {{653, 446},
         144,
         {0, 0, 653, 86},
         {0, 86, 653, 298},
         {0, 384, 653, 62},
         {132, 8, 513, 70},
         {8, 8, 637, 24},
         {360, 12, 128, 39}},
        // Lower than both bands: the middle shrinks to nothing, the bands keep
        // their heights, and the bottom one moves up over the top one.
        {{200, 80},
         96,
         {0, 0, 200, 57},
         {0, 57, 200, 0},
         {0, 39, 200, 41},
         {-147, 5, 342, 47},
         {5, 5, 190, 16},
         {240, 8, 85, 26}},
    };
    WidgetModel model;
    BuildMainWindow(model);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.client.width << "x" << c.client.height << " at " << c.dpi);
        const Rect top = PlaceOf(model, kPanelTop, c.client, c.dpi);
        const Rect main = PlaceOf(model, kPanelMain, c.client, c.dpi);
        const Rect bottom = PlaceOf(model, kPanelBottom, c.client, c.dpi);
        EXPECT_EQ(top, c.top);
        EXPECT_EQ(main, c.main);
        EXPECT_EQ(bottom, c.bottom);
        EXPECT_EQ(PlaceOf(model, kProgName, SizeOf(top), c.dpi), c.title);
        EXPECT_EQ(PlaceOf(model, kVersion, SizeOf(main), c.dpi), c.version);
        EXPECT_EQ(PlaceOf(model, kBtnWeiter, SizeOf(bottom), c.dpi), c.button);
    }
}

TEST(WindowRules, AutoSizedLabelsTakeTheMeasuredSizeAtTheirPlace) {
    WidgetModel model;
    BuildMainWindow(model);
    const TextMeasure measure = [](const Widget& label) {
        return Size{static_cast<int>(label.caption.size()) * 6, 13};
    };
    // "Nicht installieren :" (20 characters) at 8, 4; a fixed-size label is not measured.
    EXPECT_EQ(PlaceOf(model, kLabel1, {401, 149}, 96, measure), (Rect{8, 4, 120, 13}));
    EXPECT_EQ(PlaceOf(model, kLblVerzWahl, {401, 149}, 96, measure), (Rect{8, 48, 297, 33}));
}

TEST(WindowRules, LaterOverlappingSiblingsLieAbove) {
    struct Case {
        std::string_view container;
        std::vector<std::string_view> topFirst;
    };
    const Case cases[] = {
        // Result texts under the pages; the memo over the folder page only.
        {kPanelMain,
         {kVersion, kPanelPrgGruppe, kPanelKopieren, kPanelAuswahl, kMemoInfos, kPanelVerzWahl,
          kErfolgsmeldung, kFehlermeldung}},
        // The label overlapped by the field goes under it; the rest keep their order.
        {kPanelVerzWahl, {kImgInstallDir, kEditInstallDir, kLblVerzWahl, kBtnSuchen}},
        // Buttons at the same place take the focus, so they keep the model's order.
        {kPanelBottom, {kBtnWeiter, kBtnCancel, kBtnOK, kBtnYes, kBtnNo, kBtnBeenden, kBtnStarten}},
    };
    WidgetModel model;
    BuildMainWindow(model);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.container);
        std::vector<std::string_view> names;
        for (std::size_t index : StackingOrder(model, IndexOf(model, c.container))) {
            names.push_back(model.All()[index].name);
        }
        EXPECT_EQ(names, c.topFirst);
    }
}

TEST(WindowRules, EnterAndEscapeButtons) {
    struct Case {
        const char* what;
        std::initializer_list<std::string_view> shown, hidden, disabled;
        std::string_view focused;
        std::string_view enter;
        std::string_view escape;
    };
    const Case cases[] = {
        {"start: the field has the focus", {}, {}, {}, kEditInstallDir, kBtnWeiter, kBtnCancel},
        {"a focused button is pressed", {}, {}, {}, kBtnSuchen, kBtnSuchen, kBtnCancel},
        {"also a cancel button", {}, {}, {}, kBtnCancel, kBtnCancel, kBtnCancel},
        {"a disabled default is skipped",
         {kBtnBeenden},
         {},
         {kBtnWeiter},
         kEditInstallDir,
         kBtnBeenden,
         kBtnCancel},
        {"no default left", {}, {}, {kBtnWeiter, kBtnCancel}, kEditInstallDir, "none", "none"},
        {"the first default in model order",
         {kBtnBeenden, kBtnStarten},
         {kBtnWeiter},
         {},
         "",
         kBtnBeenden,
         kBtnCancel},
        {"a hidden cancel button is skipped", {kBtnNo}, {kBtnCancel}, {}, "", kBtnWeiter, kBtnNo},
        {"a focused button on a hidden page is not",
         {kPanelAuswahl},
         {kPanelVerzWahl},
         {},
         kBtnSuchen,
         kBtnWeiter,
         kBtnCancel},
        {"a disabled focused button is not",
         {},
         {},
         {kBtnSuchen},
         kBtnSuchen,
         kBtnWeiter,
         kBtnCancel},
        {"speed buttons are not push buttons",
         {kPanelAuswahl},
         {kPanelVerzWahl},
         {},
         kSBRechts,
         kBtnWeiter,
         kBtnCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WidgetModel model;
        BuildMainWindow(model);
        for (std::string_view name : c.shown) {
            model.SetVisible(name, true);
        }
        for (std::string_view name : c.hidden) {
            model.SetVisible(name, false);
        }
        for (std::string_view name : c.disabled) {
            model.SetEnabled(name, false);
        }
        std::optional<std::size_t> focused;
        if (!c.focused.empty()) {
            focused = IndexOf(model, c.focused);
        }
        EXPECT_EQ(NameAt(model, DefaultButton(model, focused)), c.enter);
        EXPECT_EQ(NameAt(model, CancelButton(model)), c.escape);
    }
}

class KeyStrokes : public WizardTest {};

// "key Enter" and "key Escape" press what the window's keys press: on the info
// page the focused one of its buttons, elsewhere the default and cancel buttons.
TEST_F(KeyStrokes, PressTheWindowsButtons) {
    struct Case {
        const char* infoButtons;  // lines of [Infodatei]; nullptr: no info page
        const char* session;
    };
    const Case cases[] = {
        {nullptr, "key Enter\nexpect page 2"},
        {nullptr, "answer &Nein\nkey Escape\nexpect running\nexpect page 0"},
        {nullptr, "answer &Ja\nat pump 1 key Esc\nkey Enter\nexpect ended"},
        {"", "expect focus BtnOK\nkey Enter\nexpect page 0\nexpect focus EditInstallDir"},
        {"OK_Button=0\nJa_Button=1\nNein_Button=1\n", "key Enter\nexpect page 0"},
        {"OK_Button=0\nNein_Button=1\n", "key Enter\nexpect ended"},
        {"OK_Button=0\nJa_Button=1\nNein_Button=1\n", "key Escape\nexpect ended"},
    };
    windows_.WriteFile("D:\\Info.txt", "Info");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.session);
        std::string script = "[ProgInfos]\nZielVerz=C:\\Ziel\n";
        if (c.infoButtons != nullptr) {
            script += std::string("[Infodatei]\nAnzeigen=2\nDateiname=Info.txt\n") + c.infoButtons;
        }
        WriteScript(script);
        Run(c.session);
    }
}

TEST_F(KeyStrokes, OnlyEnterAndEscape) {
    WriteScript("[ProgInfos]\nZielVerz=C:\\Ziel\n");
    RunExpectingFailure("key Tab");
}

}  // namespace
}  // namespace setup::app
