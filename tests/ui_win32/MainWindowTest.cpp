// The wizard's window under the real window system: every element of the model
// has its window with the model's text and visibility, the layout and the
// resizing rule, the keyboard (focus at start, Tab, Enter, Escape) and the two-way
// sync of the edit field and the lists.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "MainWindowFixture.h"

namespace setup::testing {
namespace {

constexpr char kCloseQuestion[] =
    "Die Installation ist noch nicht vollständig. Möchten Sie diese wirklich abbrechen?";

std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> texts;
    const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

void PressSpeedButton(HWND button) {
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

TEST_F(MainWindowTest, EveryElementHasItsWindowUnderItsParent) {
    Start(Script());
    for (const app::Widget& w : Model().All()) {
        if (w.kind == app::WidgetKind::EffectLabel) {
            const controls::TFxLabel* label = window_->LabelOf(w.name);
            ASSERT_NE(label, nullptr) << w.name;
            EXPECT_EQ(Control(w.name.c_str()), nullptr) << w.name << " has no window";
            EXPECT_EQ(label->Enabled(), w.enabled) << w.name;
            continue;
        }
        HWND window = Control(w.name.c_str());
        ASSERT_NE(window, nullptr) << w.name;
        if (!w.parent.empty()) {
            EXPECT_EQ(GetParent(window), Control(w.parent.c_str())) << w.name;
        }
        EXPECT_EQ(IsWindowVisible(window) != FALSE, Model().IsShowing(w.name)) << w.name;
        EXPECT_EQ(IsWindowEnabled(window) != FALSE, w.enabled) << w.name;
    }
}

struct Shown {
    std::string_view name;
    const char* text;
    bool visible;
};

TEST_F(MainWindowTest, FolderPageShowsCaptionNameVersionAndButtons) {
    Start(Script());
    const Shown expected[] = {
        {app::kMainForm, "Testfirma Installation", true},
        {app::kVersion, "Version 2.5", true},
        {app::kLblVerzWahl, "Bitte wählen Sie ein Zielverzeichnis für die Installation:", true},
        {app::kBtnSuchen, "S&uchen..", true},
        {app::kBtnWeiter, "&Weiter..", true},
        {app::kBtnCancel, "&Abbruch", true},
        {app::kBtnOK, "OK", false},
        {app::kBtnYes, "&Ja", false},
        {app::kBtnNo, "&Nein", false},
        {app::kBtnBeenden, "&Beenden", false},
        {app::kBtnStarten, "&Starten", false},
        {app::kPanelVerzWahl, nullptr, true},
        {app::kPanelAuswahl, nullptr, false},
        {app::kPanelKopieren, nullptr, false},
        {app::kPanelPrgGruppe, nullptr, false},
        {app::kMemoInfos, nullptr, false},
        {app::kSBAlleLinks, "Alles wählen", false},
    };
    for (const Shown& e : expected) {
        HWND window = Control(e.name);
        ASSERT_NE(window, nullptr) << e.name;
        if (e.text != nullptr) {
            EXPECT_EQ(WindowText(window), e.text) << e.name;
        }
        EXPECT_EQ(IsWindowVisible(window) != FALSE, e.visible) << e.name;
    }
    EXPECT_EQ(WindowText(Control(app::kEditInstallDir)), Target());
    EXPECT_EQ(window_->LabelOf(app::kProgName)->Caption(), "Testprogramm");
}

TEST_F(MainWindowTest, EditInstallDirHasTheFocusAtStart) {
    Start(Script());
    EXPECT_EQ(GetFocus(), Control(app::kEditInstallDir));
}

// The result labels lie under the page panels; the folder page is on top.
TEST_F(MainWindowTest, PagesCoverTheResultLabels) {
    Start(Script());
    HWND success = Control(app::kErfolgsmeldung);
    ASSERT_TRUE(IsWindowVisible(success));
    RECT r;
    GetWindowRect(success, &r);
    POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND main = Control(app::kPanelMain);
    ScreenToClient(main, &middle);
    EXPECT_EQ(ChildWindowFromPointEx(main, middle, CWP_SKIPINVISIBLE),
              Control(app::kPanelVerzWahl));
}

TEST_F(MainWindowTest, TabWalksTheFocusableElementsInOrder) {
    Start(Script());
    const std::string_view order[] = {app::kBtnSuchen, app::kBtnWeiter, app::kBtnCancel,
                                      app::kEditInstallDir};
    for (std::string_view name : order) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        Pump(150);
        EXPECT_EQ(GetFocus(), Control(name)) << name;
    }
}

TEST_F(MainWindowTest, LayoutFollowsTheDesignAndTheResizingRule) {
    if (!AtDesignDpi()) {
        GTEST_SKIP() << "the design places are checked at 96 DPI";
    }
    Start(Script());
    RECT client;
    GetClientRect(Control(app::kMainForm), &client);
    EXPECT_EQ(client.right, 435);
    EXPECT_EQ(client.bottom, 297);
    const std::pair<std::string_view, Place> design[] = {
        {app::kPanelTop, {0, 0, 435, 57}},
        {app::kPanelMain, {0, 57, 435, 199}},
        {app::kPanelBottom, {0, 256, 435, 41}},
        {app::kVersion, {5, 5, 425, 16}},
        {app::kPanelVerzWahl, {16, 28, 401, 149}},
        {app::kEditInstallDir, {8, 76, 291, 21}},
        {app::kBtnSuchen, {306, 48, 85, 49}},
        {app::kBtnWeiter, {240, 8, 85, 26}},
        {app::kBtnCancel, {332, 8, 85, 26}},
        // Without a logo the name is 8 narrower than the panel, at its right edge.
        {app::kProgName, {3, 5, 427, 47}},
    };
    for (const auto& [name, place] : design) {
        EXPECT_EQ(PlaceIn(name), place) << name;
    }

    // 100 pixels wider and 60 higher: the bands keep their heights, the middle
    // takes the rest, the rest keeps place and size (the name stays at the right).
    RECT outer;
    GetWindowRect(Control(app::kMainForm), &outer);
    SetWindowPos(Control(app::kMainForm), nullptr, 0, 0, outer.right - outer.left + 100,
                 outer.bottom - outer.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    Pump(100);
    const std::pair<std::string_view, Place> resized[] = {
        {app::kPanelTop, {0, 0, 535, 57}},         {app::kPanelMain, {0, 57, 535, 259}},
        {app::kPanelBottom, {0, 316, 535, 41}},    {app::kVersion, {5, 5, 525, 16}},
        {app::kPanelVerzWahl, {16, 28, 401, 149}}, {app::kBtnWeiter, {240, 8, 85, 26}},
        {app::kProgName, {103, 5, 427, 47}},
    };
    for (const auto& [name, place] : resized) {
        EXPECT_EQ(PlaceIn(name), place) << name;
    }
}

// While a step runs the window shows the hourglass, over the window and its controls.
TEST_F(MainWindowTest, BusyStepsShowTheHourglass) {
    Start(Script());
    HCURSOR wait = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));   // IDC_WAIT
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    HWND over = Control(app::kPanelVerzWahl);
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    form_->Model().SetBusyCursor(true);
    SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), hit);
    EXPECT_EQ(GetCursor(), wait);
    form_->Model().SetBusyCursor(false);
    SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), hit);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(MainWindowTest, TypedTextReachesTheModelAndTheModelReachesTheField) {
    Start(Script());
    HWND edit = Control(app::kEditInstallDir);
    SetWindowTextA(edit, "D:\\Anders");
    EXPECT_EQ(form_->InstallDir(), "D:\\Anders");
    form_->SetInstallDir("E:\\Neu\\");
    EXPECT_EQ(WindowText(edit), "E:\\Neu\\");
}

TEST_F(MainWindowTest, EscapeAsksTheCloseQuestionAndNoKeepsTheWindow) {
    Start(Script());
    DialogScript& script = Expect({{DialogAction::Escape, "", false, {}}});
    PostMessageA(Control(app::kEditInstallDir), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(Pump(3000, [&] { return script.Done() && FindThreadDialog() == nullptr; }));
    ASSERT_EQ(script.Snapshots().size(), 1u);
    EXPECT_EQ(script.Snapshots()[0].caption, "Bestätigen");
    EXPECT_EQ(script.Snapshots()[0].text, kCloseQuestion);
    EXPECT_EQ(script.Snapshots()[0].buttons, (std::vector<std::string>{"&Ja", "&Nein"}));
    EXPECT_FALSE(script.Snapshots()[0].ownerEnabled);
    EXPECT_FALSE(host_.ProgramEnded());
    EXPECT_TRUE(IsWindowEnabled(Control(app::kMainForm)));
}

TEST_F(MainWindowTest, CloseBoxWithYesEndsTheProgram) {
    Start(Script());
    DialogScript& script = Expect({{DialogAction::Enter, "", false, {}}});
    PostMessageA(Control(app::kMainForm), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(Pump(3000));  // the quit request arrives
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(host_.ProgramEnded());
    EXPECT_TRUE(form_->Ended());
}

TEST_F(MainWindowTest, EnterInTheFieldLeavesTheFolderPage) {
    Start(Script());
    PostMessageA(Control(app::kEditInstallDir), WM_KEYDOWN, VK_RETURN, 1);
    Pump(1500, [&] { return !IsWindowVisible(Control(app::kPanelVerzWahl)); });
    EXPECT_FALSE(IsWindowVisible(Control(app::kPanelVerzWahl)));
    const DWORD attributes = GetFileAttributesA(Target().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(WindowText(Control(app::kEditInstallDir)), Target() + "\\");
    EXPECT_GE(form_->State().PageIndex, 2);
}

TEST_F(MainWindowTest, ModuleListsFollowTheModelBothWays) {
    Start(
        Script("Auswahl=1\r\n[Auswahl]\r\nHilfe=1\r\nTreiber=0\r\nextra=0\r\nBeispiele=0\r\n"
               "Versteckt=0;2\r\n"));
    form_->Click(app::kBtnWeiter);
    ASSERT_TRUE(IsWindowVisible(Control(app::kPanelAuswahl)));
    HWND left = Control(app::kListeNotInstall);
    HWND right = Control(app::kListeInstall);
    EXPECT_EQ(ListTexts(left), (std::vector<std::string>{"Beispiele", "extra", "Treiber"}));
    EXPECT_EQ(ListTexts(right), std::vector<std::string>{"Hilfe"});

    // The user selects "extra" and "Treiber": the model learns it.
    SendMessageA(left, LB_SETSEL, TRUE, 1);
    SendMessageA(left, LB_SETSEL, TRUE, 2);
    SendMessageA(GetParent(left), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(left), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(left));
    EXPECT_TRUE(Model().Get(app::kListeNotInstall).items[1].selected);
    EXPECT_TRUE(Model().Get(app::kListeNotInstall).items[2].selected);

    // The arrow moves them; the lists show the model's new items, still sorted.
    HWND focus = GetFocus();
    PressSpeedButton(Control(app::kSBRechts));
    EXPECT_EQ(ListTexts(left), std::vector<std::string>{"Beispiele"});
    EXPECT_EQ(ListTexts(right), (std::vector<std::string>{"extra", "Hilfe", "Treiber"}));
    EXPECT_EQ(GetFocus(), focus);  // a speed button takes no focus

    PressSpeedButton(Control(app::kSBAllesRechts));
    EXPECT_EQ(SendMessageA(right, LB_GETSELCOUNT, 0, 0), 3);
}

TEST_F(MainWindowTest, InfoTextIsShownAboveTheFolderPage) {
    Start(Script("[Infodatei]\r\nAnzeigen=2\r\nDateiname=Info.txt\r\nJa_Button=1\r\n"),
          {{"Info.txt", "Zeile 1\nZeile 2\r\nZeile 3"}});
    HWND memo = Control(app::kMemoInfos);
    ASSERT_TRUE(IsWindowVisible(memo));
    EXPECT_EQ(WindowText(memo), "Zeile 1\r\nZeile 2\r\nZeile 3");
    EXPECT_TRUE(IsWindowVisible(Control(app::kBtnOK)));
    EXPECT_TRUE(IsWindowVisible(Control(app::kBtnYes)));
    EXPECT_FALSE(IsWindowVisible(Control(app::kBtnWeiter)));
    RECT r;
    GetWindowRect(memo, &r);
    POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND main = Control(app::kPanelMain);
    ScreenToClient(main, &middle);
    EXPECT_EQ(ChildWindowFromPointEx(main, middle, CWP_SKIPINVISIBLE), memo);
}

// The info page has no default button: Enter presses the focused one, the first
// of OK, Ja and Nein that the page shows; back on the folder page the focus is in
// the field again.
TEST_F(MainWindowTest, EnterOnTheInfoPagePressesItsFirstButton) {
    struct Case {
        const char* buttons;  // lines of [Infodatei]
        std::string_view focused;
        bool ends;  // "&Nein" ends the program; OK and "&Ja" lead to the folder page
    };
    const Case cases[] = {
        {"", app::kBtnOK, false},
        {"OK_Button=0\r\nJa_Button=1\r\nNein_Button=1\r\n", app::kBtnYes, false},
        {"OK_Button=0\r\nNein_Button=1\r\n", app::kBtnNo, true},  // last: the program ends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focused);
        Start(
            Script(std::string("[Infodatei]\r\nAnzeigen=2\r\nDateiname=Info.txt\r\n") + c.buttons),
            {{"Info.txt", "Zeile 1"}});
        ASSERT_TRUE(IsWindowVisible(Control(app::kMemoInfos)));
        EXPECT_EQ(GetFocus(), Control(c.focused));
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
        if (c.ends) {
            EXPECT_FALSE(Pump(3000));  // the quit request arrives
            EXPECT_TRUE(host_.ProgramEnded());
        } else {
            Pump(1500, [&] { return form_->State().PageIndex == 0; });
            EXPECT_EQ(form_->State().PageIndex, 0);
            EXPECT_FALSE(IsWindowVisible(Control(app::kMemoInfos)));
            EXPECT_EQ(GetFocus(), Control(app::kEditInstallDir));
        }
        Stop();
    }
}

// The program group step disables "&Weiter.." while it runs, so the focus moves
// on to "&Abbruch"; at its end "&Weiter.." has it again, whatever the answer and
// in test mode too: Enter leads on, not to the cancel question.
TEST_F(MainWindowTest, WeiterHasTheFocusAgainAfterTheGroupStep) {
    struct Case {
        DialogAction answer;  // Enter: "&Ja", Escape: "&Nein"
        bool testMode;
    };
    for (const Case& c : {Case{DialogAction::Enter, false}, Case{DialogAction::Escape, false},
                          Case{DialogAction::Enter, true}}) {
        SCOPED_TRACE(c.testMode ? "test mode" : c.answer == DialogAction::Enter ? "Ja" : "Nein");
        Start(Script(), {},
              c.testMode ? std::vector<std::string>{"/TEST"} : std::vector<std::string>{});
        form_->Click(app::kBtnWeiter);
        ASSERT_EQ(form_->State().PageIndex, 2);
        DialogScript& script = Expect({{c.answer, "", false, {}}});
        form_->Click(app::kBtnWeiter);
        EXPECT_TRUE(script.Done());
        Pump(100);
        ASSERT_EQ(form_->State().PageIndex, 3);
        EXPECT_EQ(GetFocus(), Control(app::kBtnWeiter));
        Stop();
    }
}

}  // namespace
}  // namespace setup::testing

#endif  // _WIN32
