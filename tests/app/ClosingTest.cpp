// Every way of closing the window, with and without the cancel question, also
// while a step is running.
#include "app/WidgetNames.h"
#include "support/WizardTest.h"

namespace setup::app {
namespace {

constexpr const char* kQuestion =
    "Die Installation ist noch nicht vollständig. Möchten Sie diese wirklich abbrechen?";

struct CloseCase {
    const char* name;
    const char* session;
    int questions;  // how often the cancel question was asked
};

class Closing : public WizardTest {};

TEST_F(Closing, EveryWayOfClosing) {
    windows_.WriteFile("D:\\Info.txt", "Info");
    const CloseCase cases[] = {
        {"Abbruch, Ja", "answer &Ja\nclick &Abbruch\nexpect ended", 1},
        {"Abbruch, Nein: nothing changes",
         "answer &Nein\nclick &Abbruch\nexpect running\nexpect page 0\nexpect visible "
         "PanelVerzWahl",
         1},
        {"close box, Ja", "answer Ja\nclose\nexpect ended", 1},
        {"close box on the finish page still asks",
         "answer &Nein\nclick BtnWeiter\nclick BtnWeiter\nclick BtnWeiter\nexpect page 4\n"
         "answer &Nein\nclose\nexpect running\nanswer &Ja\nclose\nexpect ended",
         2},
        {"Beenden asks nothing",
         "answer &Nein\nclick BtnWeiter\nclick BtnWeiter\nclick BtnWeiter\nclick &Beenden\n"
         "expect ended",
         0},
        {"close confirmed while a step runs ends the program when the step returns",
         "at pump 1 click BtnCancel\nanswer &Ja\nclick BtnWeiter\nexpect ended\nexpect page 2", 1},
        {"close declined while a step runs changes nothing",
         "at pump 1 close\nanswer &Nein\nclick BtnWeiter\nexpect running\nexpect page 2", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteScript("[ProgInfos]\nZielVerz=C:\\Ziel\n");
        auto result = Run(c.session);
        int questions = 0;
        for (const auto& d : result.dialogs) {
            questions += d.text == kQuestion ? 1 : 0;
            if (d.text == kQuestion) {
                EXPECT_EQ(d.caption, "Bestätigen");
                EXPECT_EQ(d.defaultAnswer, answer::kYes);
                EXPECT_EQ(d.escapeAnswer, answer::kNo);
            }
        }
        EXPECT_EQ(questions, c.questions);
    }
}

TEST_F(Closing, InfoPageNeinClosesWithoutQuestion) {
    windows_.WriteFile("D:\\Info.txt", "Info");
    WriteScript("[Infodatei]\nAnzeigen=2\nDateiname=Info.txt\nNein_Button=1\n");
    auto result = Run("click &Nein\nexpect ended");
    EXPECT_TRUE(result.dialogs.empty());
}

TEST_F(Closing, MissingScriptEndsAfterTheErrorWithoutQuestion) {
    auto result = Run("answer OK\nexpect ended");
    ASSERT_EQ(result.dialogs.size(), 1u);
    EXPECT_EQ(result.dialogs[0].caption, "Fehler");
    EXPECT_EQ(result.dialogs[0].text,
              "Das Installationsscript \"Setup.ini\" wurde nicht gefunden! Die Installation "
              "wird abgebrochen.");
    EXPECT_TRUE(HasLine(result, "window: \" Installation\", program \"\", \"Version 1.0\""));
}

// After a confirmed close, dialogs that the running step still opens answer
// "Abbrechen" at once, even without such a button, and the program ends only
// when the handler returns.
TEST_F(Closing, DialogsOfARunningStepAnswerCancelAtOnce) {
    WriteScript("[ProgInfos]\nZielVerz=C:\\Ziel\n");
    HeadlessHost host;
    TMainForm form(host, {});
    form.Create();
    form.Paint();
    host.QueueAnswer("&Ja");
    form.Close();  // as a handler running inside a step would
    EXPECT_TRUE(form.Closing());
    EXPECT_FALSE(host.ProgramEnded());
    EXPECT_FALSE(form.Click(kBtnWeiter));  // clicks start nothing any more
    EXPECT_EQ(form.MessageDlg("Weiter?", DialogKind::Warning, kButtonOk), answer::kCancel);
    EXPECT_EQ(form.MessageDlg("Nochmal?", DialogKind::Confirmation, kButtonYes | kButtonNo),
              answer::kCancel);
    ASSERT_EQ(host.Dialogs().size(), 3u);
    EXPECT_EQ(host.Transcript().back(),
              "dialog \"Bestätigen\" (question): \"Nochmal?\" [&Ja* | &Nein] -> closed at once: "
              "Abbrechen");
    form.Paint();  // the next handler to return ends the program
    EXPECT_TRUE(host.ProgramEnded());
    EXPECT_FALSE(form.Click(kBtnWeiter));
}

}  // namespace
}  // namespace setup::app
