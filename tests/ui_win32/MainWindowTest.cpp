// The wizard's window under the real window system: every element of the model
// has its window (the effect labels paint on their panel) with the model's text
// and visibility, the effect labels as their recording shows them, the layout and the
// resizing rule, the keyboard (focus at start, Tab, Enter, Escape), the two-way
// sync of the edit field and the lists, the logo loader and the folder dialog.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "controls/RecordingCanvas.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Win32UiHost.h"

namespace setup::testing {
namespace {

namespace gui = setup::ui::win32;

constexpr char kCloseQuestion[] =
    "Die Installation ist noch nicht vollständig. Möchten Sie diese wirklich abbrechen?";

struct Place {
    int left, top, width, height;
    bool operator==(const Place&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Place& p) {
    return out << "{" << p.left << ", " << p.top << ", " << p.width << ", " << p.height << "}";
}

// A window's place relative to its parent's client area.
Place PlaceOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool AtDesignDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi == 96;
}

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

class MainWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { Stop(); }

    // Closes the window, so that a test may Start() another one.
    void Stop() {
        if (script_) {
            EXPECT_TRUE(script_->Unexpected().empty()) << script_->Unexpected().front().text;
        }
        window_.reset();
        form_.reset();
        scoped_.reset();
        // A quit request of an ended program must not reach the next test.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::string Medium() const { return env_->ScratchFolder() + "Medium\\"; }
    std::string Target() const { return env_->ScratchFolder() + "Ziel"; }

    std::string Script(const std::string& extra = "") const {
        return "[ProgInfos]\r\nFirma=Testfirma\r\nName=Testprogramm\r\nVersion=2.5\r\nZielVerz=" +
               Target() + "\r\n" + extra;
    }

    void Start(const std::string& script,
               const std::vector<std::pair<std::string, std::string>>& files = {},
               std::vector<std::string> arguments = {}) {
        CreateDirectoryA(Medium().c_str(), nullptr);
        // A script without files would stop at the copy page's warning; a file of a
        // module never chosen must be on the medium but is not installed.
        std::string text = script;
        if (text.find("[Dateien]") == std::string::npos &&
            text.find("[Diskette") == std::string::npos) {
            text += "[Dateien]\r\nNie#Leer.txt=\r\n";
            WriteBytes(Medium() + "Leer.txt", "");
        }
        WriteBytes(Medium() + "Setup.ini", text);
        for (const auto& [name, bytes] : files) {
            WriteBytes(Medium() + name, bytes);
        }
        os_ = std::make_unique<MediumOs>(env_->Os(), Medium() + "Setup.exe");
        scoped_ = std::make_unique<platform::ScopedOs>(*os_);
        form_ = std::make_unique<app::TMainForm>(host_, std::move(arguments));
        form_->Create();
        window_ = std::make_unique<gui::MainWindow>(*form_, host_);
        ASSERT_TRUE(window_->Create(SW_SHOWNORMAL));
        Expect({});
        // The window shows; its first paint runs the start checks.
        Pump(10000, [this] { return !form_->State().FirstPaintPending; });
        ASSERT_FALSE(form_->State().FirstPaintPending);
        Pump(100);
        EXPECT_TRUE(script_->Unexpected().empty()) << script_->Unexpected().front().text;
    }

    // The dialogs the test expects from here on, and how they are answered; any
    // other dialog is escaped and reported.
    DialogScript& Expect(std::vector<DialogStep> steps) {
        script_.reset();
        script_ = std::make_unique<DialogScript>(std::move(steps));
        return *script_;
    }

    bool Pump(int milliseconds, const std::function<bool()>& until = {}) {
        return PumpFor(
            milliseconds, [this](MSG& m) { return window_->PreTranslate(m); }, until);
    }
    HWND Control(std::string_view name) const { return window_->ControlOf(name); }
    // The place of an element in its parent: a window's, or an effect label's.
    Place PlaceIn(std::string_view name) const {
        if (const controls::TFxLabel* label = window_->LabelOf(name)) {
            return {label->Left(), label->Top(), label->Width(), label->Height()};
        }
        return PlaceOf(Control(name));
    }
    const app::WidgetModel& Model() const { return form_->Model(); }

    std::unique_ptr<TestEnvironment> env_ = MakeTestEnvironment();
    std::unique_ptr<MediumOs> os_;
    std::unique_ptr<platform::ScopedOs> scoped_;
    gui::Win32UiHost host_;
    std::unique_ptr<app::TMainForm> form_;
    std::unique_ptr<gui::MainWindow> window_;
    std::unique_ptr<DialogScript> script_;
};

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

// 32-bit pixels of a device context's rectangle, top row first.
std::vector<std::uint32_t> Pixels(HDC source, int left, int top, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + width * height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (auto& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// What a label paints, alone in a bitmap of its size; and its operations, measured
// with the same GDI metrics.
struct LabelPicture {
    std::vector<std::uint32_t> pixels;
    std::vector<controls::CanvasOperation> operations;
};

LabelPicture PaintAlone(controls::TFxLabel& label) {
    class Measuring final : public controls::Canvas {
      public:
        explicit Measuring(HDC dc) : metrics_(dc) {}
        void SetFont(const controls::FontSpec& f) override {
            metrics_.SetFont(f);
            record.SetFont(f);
        }
        void FillRect(const controls::TRect& r, controls::TColor c) override {
            record.FillRect(r, c);
        }
        int TextWidth(std::string_view t) override { return metrics_.TextWidth(t); }
        controls::TRect MeasureText(std::string_view t, const controls::TRect& r,
                                    unsigned f) override {
            return metrics_.MeasureText(t, r, f);
        }
        void DrawString(std::string_view t, const controls::TRect& r, unsigned f,
                        controls::TColor c) override {
            record.DrawString(t, r, f, c);
        }
        void Polyline(std::span<const controls::TPoint> p, controls::TColor c) override {
            record.Polyline(p, c);
        }
        controls::RecordingCanvas record;

      private:
        gui::GdiCanvas metrics_;
    };
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, label.Width(), label.Height());
    HGDIOBJ previous = SelectObject(memory, bitmap);
    {
        gui::GdiCanvas canvas(memory);
        label.Paint(canvas);
    }
    LabelPicture picture{Pixels(memory, 0, 0, label.Width(), label.Height()), {}};
    {
        Measuring measuring(memory);
        label.Paint(measuring);
        picture.operations = measuring.record.Operations();
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The three effect labels of the window, painted by their panels: each shows
// exactly what the label paints alone, the title in its blue within the text it
// records, the long path shortened to "C:\...\datei.txt" and the short one whole.
TEST_F(MainWindowTest, EffectLabelsPaintOnTheirPanelsWhatTheyRecord) {
    Start(Script());
    const std::string longPath =
        "C:\\Programme\\Beispiel\\Vorlagen\\Geschäftsbriefe\\Ablage\\Archiv 2024\\datei.txt";
    app::WidgetModel& model = form_->Model();
    model.SetVisible(app::kPanelVerzWahl, false);
    model.SetVisible(app::kPanelKopieren, true);
    model.SetVisible(app::kPanelDateinamen, true);
    model.SetCaption(app::kLblQuellDatei, longPath);
    model.SetCaption(app::kLblZielDatei, "C:\\Ziel\\datei.txt");
    Pump(300);

    struct Case {
        std::string_view name;
        std::string_view panel;
        bool shortened;  // drawn as "C:\...\" and the end of the path
    };
    const Case cases[] = {
        {app::kProgName, app::kPanelTop, false},
        {app::kLblQuellDatei, app::kPanelDateinamen, true},
        {app::kLblZielDatei, app::kPanelDateinamen, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        controls::TFxLabel& label = *window_->LabelOf(c.name);
        const LabelPicture alone = PaintAlone(label);
        HDC panel = GetDC(Control(c.panel));
        const auto shown = Pixels(panel, label.Left(), label.Top(), label.Width(), label.Height());
        ReleaseDC(Control(c.panel), panel);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            differing += shown[i] != alone.pixels[i] ? 1u : 0u;
        }
        EXPECT_EQ(differing, 0u);

        const controls::CanvasOperation* text = nullptr;
        for (const auto& op : alone.operations) {
            if (op.kind == controls::CanvasOperation::Kind::Text) {
                text = &op;
            }
        }
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text, label.GetLabelText());
        if (c.shortened) {
            EXPECT_TRUE(text->text.starts_with("C:\\...\\")) << text->text;
            EXPECT_TRUE(text->text.ends_with("\\datei.txt")) << text->text;
            EXPECT_LT(text->text.size(), label.Caption().size());
        } else {
            EXPECT_EQ(text->text, label.Caption());
        }
    }

    // The title's blue lies inside its recorded text and nowhere else.
    controls::TFxLabel& title = *window_->LabelOf(app::kProgName);
    const LabelPicture alone = PaintAlone(title);
    controls::TRect textRect;
    for (const auto& op : alone.operations) {
        if (op.kind == controls::CanvasOperation::Kind::Text) {
            textRect = op.rect;
        }
    }
    std::size_t blue = 0, outside = 0;
    for (int y = 0; y < title.Height(); ++y) {
        for (int x = 0; x < title.Width(); ++x) {
            if (alone.pixels[static_cast<std::size_t>(y * title.Width() + x)] == 0x0000FF) {
                ++blue;
                outside += x < textRect.left || x >= textRect.right || y < textRect.top ||
                                   y >= textRect.bottom
                               ? 1
                               : 0;
            }
        }
    }
    EXPECT_GT(blue, 200u);
    EXPECT_EQ(outside, 0u);
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

// --- The logo -----------------------------------------------------------------

std::string Little16(int value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
std::string Little32(std::uint32_t value) {
    return Little16(static_cast<int>(value & 0xFFFF)) + Little16(static_cast<int>(value >> 16));
}

// A 24-bit bitmap file: red, with a blue square in the middle.
std::string BitmapFile(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const bool inner =
                x >= width / 4 && x < width * 3 / 4 && y >= height / 4 && y < height * 3 / 4;
            row += inner ? std::string("\xFF\x00\x00", 3) : std::string("\x00\x00\xFF", 3);
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        pixels += row;
    }
    std::string info = Little32(40) + Little32(static_cast<std::uint32_t>(width)) +
                       Little32(static_cast<std::uint32_t>(height)) + Little16(1) + Little16(24) +
                       Little32(0) + Little32(static_cast<std::uint32_t>(pixels.size())) +
                       Little32(2835) + Little32(2835) + Little32(0) + Little32(0);
    return "BM" + Little32(static_cast<std::uint32_t>(14 + info.size() + pixels.size())) +
           Little32(0) + Little32(14 + 40) + info + pixels;
}

// A 16 by 16 icon file with one 32-bit image.
std::string IconFile() {
    std::string image = Little32(40) + Little32(16) + Little32(32) + Little16(1) + Little16(32) +
                        Little32(0) + Little32(0) + Little32(0) + Little32(0) + Little32(0) +
                        Little32(0);
    for (int i = 0; i < 16 * 16; ++i) {
        image += std::string("\x00\x80\x00\xFF", 4);
    }
    image += std::string(16 * 4, '\0');  // AND mask: all opaque
    return Little16(0) + Little16(1) + Little16(1) + std::string("\x10\x10\x00\x00", 4) +
           Little16(1) + Little16(32) + Little32(static_cast<std::uint32_t>(image.size())) +
           Little32(6 + 16) + image;
}

// A placeable metafile of 1 by 0.5 inch (96 by 48 pixels at 96 DPI).
std::string PlaceableMetafile() {
    HDC dc = CreateMetaFileA(nullptr);
    Rectangle(dc, 0, 0, 1440, 720);
    HMETAFILE metafile = CloseMetaFile(dc);
    std::string bits(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(metafile);
    std::string header = Little32(0x9AC6CDD7u) + Little16(0) + Little16(0) + Little16(0) +
                         Little16(1440) + Little16(720) + Little16(1440) + Little32(0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < header.size(); i += 2) {
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(header[i]) |
                                               (static_cast<unsigned char>(header[i + 1]) << 8));
    }
    return header + Little16(checksum) + bits;
}

// An enhanced metafile of 1 by 0.5 inch, written where the test says.
void WriteEnhancedMetafile(const std::string& path) {
    RECT frame{0, 0, 2540, 1270};  // hundredths of a millimetre
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    Rectangle(dc, 0, 0, 50, 25);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

struct LogoCase {
    std::string_view name;
    const char* file;
    int width;  // the logo box after loading (80 by 45 when nothing loads)
    int height;
};

class LogoTest : public MainWindowTest, public ::testing::WithParamInterface<LogoCase> {};

TEST_P(LogoTest, AutoSizedBoxTakesThePictureSize) {
    const LogoCase& c = GetParam();
    std::vector<std::pair<std::string, std::string>> files = {{"logo.bmp", BitmapFile(40, 30)},
                                                              {"logo.ico", IconFile()},
                                                              {"logo.wmf", PlaceableMetafile()},
                                                              {"bild.jpg", BitmapFile(40, 30)},
                                                              {"kaputt.bmp", "BM kein Bild"}};
    CreateDirectoryA(Medium().c_str(), nullptr);
    WriteEnhancedMetafile(Medium() + "logo.emf");
    Start(Script(std::string("Logo=") + c.file + "\r\nStretchLogo=0\r\nAutoSizeLogo=1\r\n"), files);
    const app::Rect box = Model().Get(app::kLogo).bounds;
    EXPECT_EQ(box.width, c.width);
    EXPECT_EQ(box.height, c.height);
    EXPECT_EQ(box.top, c.height < 49 ? (57 - c.height) / 2 : 6);
    EXPECT_EQ(Model().Get(app::kProgName).bounds.width, 435 - 12 - c.width);
    if (AtDesignDpi()) {
        EXPECT_EQ(PlaceOf(Control(app::kLogo)), (Place{6, box.top, c.width, c.height}));
    }
}

const LogoCase kLogoCases[] = {
    {"Bitmap", "logo.bmp", 40, 30},      {"Icon", "logo.ico", 16, 16},
    {"Metafile", "logo.wmf", 96, 48},    {"EnhancedMetafile", "logo.emf", 96, 48},
    {"OtherFormat", "bild.jpg", 80, 45}, {"Unreadable", "kaputt.bmp", 80, 45},
    {"Missing", "fehlt.bmp", 80, 45},
};

INSTANTIATE_TEST_SUITE_P(Win32, LogoTest, ::testing::ValuesIn(kLogoCases),
                         [](const auto& test) { return std::string(test.param.name); });

// What the logo box shows: the picture stretched over the box, or with its
// bottom-left colour left out so the title panel shows through.
struct LogoLook {
    std::string_view name;
    const char* settings;
    COLORREF corner;
    COLORREF middle;
};

class LogoLookTest : public MainWindowTest, public ::testing::WithParamInterface<LogoLook> {};

TEST_P(LogoLookTest, PixelsOfTheBox) {
    const LogoLook& c = GetParam();
    Start(Script(std::string("Logo=logo.bmp\r\n") + c.settings),
          {{"logo.bmp", BitmapFile(40, 30)}});
    HWND logo = Control(app::kLogo);
    UpdateWindow(logo);
    RECT r;
    GetClientRect(logo, &r);
    HDC dc = GetDC(logo);
    const COLORREF corner = GetPixel(dc, 1, r.bottom - 2);
    const COLORREF middle = GetPixel(dc, r.right / 2, r.bottom / 2);
    ReleaseDC(logo, dc);
    EXPECT_EQ(corner, c.corner);
    EXPECT_EQ(middle, c.middle);
}

const LogoLook kLogoLooks[] = {
    {"Stretched", "StretchLogo=1\r\n", RGB(255, 0, 0), RGB(0, 0, 255)},
    {"Transparent", "StretchLogo=1\r\nLogoTransparent=1\r\n", RGB(221, 221, 221), RGB(0, 0, 255)},
    // Centred at its own size in the 80 by 45 box: the corner is the panel's.
    {"Centred", "StretchLogo=0\r\n", RGB(221, 221, 221), RGB(0, 0, 255)},
};

INSTANTIATE_TEST_SUITE_P(Win32, LogoLookTest, ::testing::ValuesIn(kLogoLooks),
                         [](const auto& test) { return std::string(test.param.name); });

// --- The folder dialog ----------------------------------------------------------

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

TEST_F(MainWindowTest, FolderDialogOpensOnTheFieldsFolderAndWritesTheChoiceBack) {
    Start(Script());
    form_->SetInstallDir(WindowsFolder() + "\\");
    DialogScript& script = Expect({{DialogAction::Enter, "", false, {}}});
    form_->Click(app::kBtnSuchen);
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(script.Snapshots().size(), 1u);
    EXPECT_NE(script.Snapshots()[0].text.find("Zielverzeichnis ausw"), std::string::npos);
    EXPECT_EQ(_stricmp(WindowText(Control(app::kEditInstallDir)).c_str(),
                       (WindowsFolder() + "\\").c_str()),
              0)
        << WindowText(Control(app::kEditInstallDir));
}

TEST_F(MainWindowTest, CancelledFolderDialogLeavesTheField) {
    Start(Script());
    DialogScript& script = Expect({{DialogAction::Escape, "", false, {}}});
    form_->Click(app::kBtnSuchen);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(WindowText(Control(app::kEditInstallDir)), Target());
}

}  // namespace
}  // namespace setup::testing

#endif  // _WIN32
