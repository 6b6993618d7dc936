// The message dialog's contract: caption, icon by kind, the text, the buttons in
// their order with their captions, the default button for Enter, the escape
// answer for Escape and the close box, the owner disabled while it runs.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/MessageDialog.h"
#include "ui/win32/MessageBoxWindow.h"

namespace setup::testing {
namespace {

using app::DialogKind;
using namespace app::answer;

HICON SystemIcon(int id) {
    return id == 0 ? nullptr : LoadIconA(nullptr, MAKEINTRESOURCEA(id));
}

// A plain top-level window to own the dialog.
class OwnerWindow {
  public:
    OwnerWindow() {
        window_ =
            CreateWindowExA(0, "STATIC", "Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                            400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window_); }
    HWND Get() const { return window_; }

  private:
    HWND window_;
};

struct DialogCase {
    const char* name;
    DialogKind kind;
    app::DialogButtons buttons;
    std::vector<DialogStep> steps;
    int expectedAnswer;
    std::string caption;
    int icon;  // resource number of the system icon, 0 for none
    std::vector<std::string> captions;
    std::string defaultButton;
};

const DialogStep kEnter{DialogAction::Enter, "", false, {}};
const DialogStep kEscape{DialogAction::Escape, "", false, {}};
const DialogStep kClose{DialogAction::CloseBox, "", false, {}};
DialogStep ClickOn(std::string caption, bool again = false) {
    return {DialogAction::Click, std::move(caption), again, {}};
}
DialogStep Again(DialogAction action) {
    return {action, "", true, {}};
}

class MessageDialogContract : public ::testing::TestWithParam<DialogCase> {};

TEST_P(MessageDialogContract, ShowsAndAnswersAsDescribed) {
    const DialogCase& c = GetParam();
    const std::string text = "Die Datei C:\\Temp\\a&b.txt ist schreibgeschützt.";
    const app::MessageDialog dialog = app::MakeMessageDialog(text, c.kind, c.buttons, "Testtitel");
    OwnerWindow owner;
    DialogScript script(c.steps);

    const int answer = setup::ui::win32::RunMessageDialog(owner.Get(), dialog);

    EXPECT_EQ(answer, c.expectedAnswer);
    EXPECT_TRUE(script.Done());
    ASSERT_FALSE(script.Snapshots().empty());
    const DialogSnapshot& shot = script.Snapshots().front();
    EXPECT_EQ(shot.caption, c.caption);
    EXPECT_EQ(shot.text, text);
    EXPECT_EQ(shot.icon, SystemIcon(c.icon));
    EXPECT_EQ(shot.buttons, c.captions);
    EXPECT_EQ(shot.defaultButton, c.defaultButton);
    EXPECT_EQ(shot.focused, c.defaultButton);
    EXPECT_FALSE(shot.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
    EXPECT_EQ(FindThreadDialog(), nullptr);
}

const DialogCase kDialogCases[] = {
    {"ConfirmEnterIsYes",
     DialogKind::Confirmation,
     app::kButtonYes | app::kButtonNo,
     {kEnter},
     kYes,
     "Bestätigen",
     32514,
     {"&Ja", "&Nein"},
     "&Ja"},
    {"ConfirmEscapeIsNo",
     DialogKind::Confirmation,
     app::kButtonYes | app::kButtonNo,
     {kEscape},
     kNo,
     "Bestätigen",
     32514,
     {"&Ja", "&Nein"},
     "&Ja"},
    {"ConfirmCloseBoxIsNo",
     DialogKind::Confirmation,
     app::kButtonYes | app::kButtonNo,
     {kClose},
     kNo,
     "Bestätigen",
     32514,
     {"&Ja", "&Nein"},
     "&Ja"},
    {"ConfirmClickNo",
     DialogKind::Confirmation,
     app::kButtonYes | app::kButtonNo,
     {ClickOn("&Nein")},
     kNo,
     "Bestätigen",
     32514,
     {"&Ja", "&Nein"},
     "&Ja"},
    {"WarningEscapeIsCancel",
     DialogKind::Warning,
     app::kButtonCancel | app::kButtonNo | app::kButtonYes,
     {kEscape},
     kCancel,
     "Warnung",
     32515,
     {"&Ja", "&Nein", "Abbrechen"},
     "&Ja"},
    {"ErrorOkOnly",
     DialogKind::Error,
     app::kButtonOk,
     {kEscape},
     kOk,
     "Fehler",
     32513,
     {"OK"},
     "OK"},
    {"InformationOkCancelEnterIsOk",
     DialogKind::Information,
     app::kButtonOk | app::kButtonCancel,
     {kEnter},
     kOk,
     "Information",
     32516,
     {"OK", "Abbrechen"},
     "OK"},
    // No escape answer: Escape and the close box leave the dialog open.
    {"AbortRetryIgnoreEscapeDoesNothing",
     DialogKind::Error,
     app::kButtonAbort | app::kButtonRetry | app::kButtonIgnore,
     {kEscape, Again(DialogAction::CloseBox), ClickOn("&Ignorieren", true)},
     kIgnore,
     "Fehler",
     32513,
     {"&Abbrechen", "&Wiederholen", "&Ignorieren"},
     "&Wiederholen"},
    {"AllButtonsInOrder",
     DialogKind::Warning,
     0x7FF,
     {kEnter},
     kOk,
     "Warnung",
     32515,
     {"&Ja", "&Nein", "OK", "Abbrechen", "&Abbrechen", "&Wiederholen", "&Ignorieren", "&Alles",
      "&Alle Nein", "A&lle Ja", "&Hilfe"},
     "OK"},
    // "&Hilfe" answers nothing and leaves the dialog open.
    {"HelpKeepsTheDialog",
     DialogKind::Plain,
     app::kButtonOk | app::kButtonHelp,
     {ClickOn("&Hilfe"), Again(DialogAction::Enter)},
     kOk,
     "Testtitel",
     0,
     {"OK", "&Hilfe"},
     "OK"},
    // Without a default the first button has the focus, and Enter presses the
    // focused button.
    {"NoToAllWithoutDefault",
     DialogKind::Confirmation,
     app::kButtonAll | app::kButtonNoToAll,
     {ClickOn("&Alle Nein")},
     kNoToAll,
     "Bestätigen",
     32514,
     {"&Alles", "&Alle Nein"},
     "&Alles"},
    {"AllWithoutDefaultEnterPressesTheFocusedButton",
     DialogKind::Confirmation,
     app::kButtonAll | app::kButtonNoToAll,
     {kEnter},
     kAll,
     "Bestätigen",
     32514,
     {"&Alles", "&Alle Nein"},
     "&Alles"},
};

INSTANTIATE_TEST_SUITE_P(Win32, MessageDialogContract, ::testing::ValuesIn(kDialogCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(MessageDialog, ErrorBoxHasTitleStopIconAndFullStop) {
    const app::MessageDialog box =
        app::MakeErrorBox("Das Verzeichnis kann nicht erstellt werden", "Beispiel Installation");
    DialogScript script({kEnter});
    EXPECT_EQ(setup::ui::win32::RunMessageDialog(nullptr, box), kOk);
    ASSERT_EQ(script.Snapshots().size(), 1u);
    const DialogSnapshot& shot = script.Snapshots().front();
    EXPECT_EQ(shot.caption, "Beispiel Installation");
    EXPECT_EQ(shot.text, "Das Verzeichnis kann nicht erstellt werden.");
    EXPECT_EQ(shot.icon, SystemIcon(32513));
    EXPECT_EQ(shot.buttons, std::vector<std::string>{"OK"});
}

// The buttons stand in one row, left to right in their order, inside the dialog;
// a long text is wrapped, not cut: the text control is as high as its lines.
TEST(MessageDialog, LayoutKeepsButtonsInARowAndWrapsLongText) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "Wort" + std::to_string(i) + " ";
    }
    const app::MessageDialog dialog = app::MakeMessageDialog(
        text, DialogKind::Warning, app::kButtonYes | app::kButtonNo | app::kButtonCancel, "T");
    std::vector<RECT> buttons;
    RECT client{};
    RECT textRect{};
    DialogStep look{
        DialogAction::Escape, "", false, [&](HWND shown) {
            GetClientRect(shown, &client);
            for (HWND child = GetWindow(shown, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r;
                GetWindowRect(child, &r);
                MapWindowPoints(nullptr, shown, reinterpret_cast<POINT*>(&r), 2);
                char kind[16] = {};
                GetClassNameA(child, kind, sizeof(kind));
                if (std::string(kind) == "Button") {
                    buttons.push_back(r);
                } else if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                    textRect = r;
                }
            }
        }};
    DialogScript script({look});
    EXPECT_EQ(setup::ui::win32::RunMessageDialog(nullptr, dialog), kCancel);
    ASSERT_EQ(buttons.size(), 3u);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].top, buttons[0].top);
        EXPECT_GE(buttons[i].left, 0);
        EXPECT_LE(buttons[i].right, client.right);
        EXPECT_LE(buttons[i].bottom, client.bottom);
        if (i > 0) {
            EXPECT_GT(buttons[i].left, buttons[i - 1].right);
        }
    }
    EXPECT_LT(textRect.bottom, buttons[0].top);
    EXPECT_LE(textRect.right, client.right);
    // 40 words don't fit on one line of at most 520 pixels at 96 DPI.
    EXPECT_GT(textRect.bottom - textRect.top, 2 * 13);
}

// A quit request that arrives while the dialog is open closes it with its escape
// answer and is passed on to the outer loop.
TEST(MessageDialog, QuitRequestClosesWithEscapeAnswerAndIsPassedOn) {
    const app::MessageDialog dialog = app::MakeMessageDialog("Frage", DialogKind::Confirmation,
                                                             app::kButtonYes | app::kButtonNo, "T");
    DialogStep quit{DialogAction::Observe, "", false, [](HWND) { PostQuitMessage(3); }};
    DialogScript script({quit});
    EXPECT_EQ(setup::ui::win32::RunMessageDialog(nullptr, dialog), kNo);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace setup::testing

#endif  // _WIN32
