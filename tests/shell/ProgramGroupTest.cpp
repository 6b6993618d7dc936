// The program group step: the question, the group folder, one shortcut per
// [ShortCuts] entry, the uninstaller's shortcut, the result labels and the log.
#include "ShellStepTest.h"
#include "app/WidgetNames.h"

namespace setup::app {
namespace {

using platform::posix::ShellLinkFields;

const std::string kGroup = "C:\\WINDOWS\\Startmenü\\Programme\\Prog\\";
const std::string kLongQuestion =
    "Sollen die Verknüpfungen und die Programmgruppe für das Programm Prog jetzt erstellt werden?";
const std::string kShortQuestion =
    "Sollen die Verknüpfungen für das Programm Prog jetzt erstellt werden?";

struct Expected {
    std::string path;
    std::optional<ShellLinkFields> fields;  // nothing: no file there
};

struct GroupCase {
    const char* name;
    std::string sections;  // [ProgGruppe] and [ShortCuts]
    std::string answer;
    std::vector<std::string> dialogs;  // every dialog's text, in order
    std::string_view result;           // the result label shown
    bool installOk;
    std::string groupLog;     // [ProgGruppe] of the log
    std::string shortcutLog;  // [ShortCuts] of the log
    std::vector<Expected> shortcuts;
    std::vector<std::string> arguments = {};
    bool testMode = false;
};

class ProgramGroup : public ShellStepTest {};

TEST_F(ProgramGroup, Cases) {
    const std::string uninstallIn = kGroup + "Uninstall Prog.lnk";
    const std::string uninstallInTarget = "C:\\Ziel\\Uninstall Prog.lnk";
    const ShellLinkFields uninstall{kUninstaller, "Prog deinstallieren", ""};
    const std::string shortcuts =
        "[ShortCuts]\n"
        "@@PRGGRP@@Editor.exe=Texteditor,@@INSTDIR@@\n"
        "@@PRGGRP@@Hilfe.txt=Hilfe\n"                // no comma after one with a folder
        "@@INSTDIR@@Liesmich=,@@INSTDIR@@Daten,1\n"  // no description, no extension
        "@@PRGGRP@@Fehlt.exe=Gibt es nicht\n"        // target missing: skipped
        "C:\\Desk\\Neu\\Hilfe.txt=Woanders\n";       // only the last component is looked for
    const GroupCase cases[] = {
        {"all kinds of entries",
         "[ProgGruppe]\nName=@@PROGRAMS@@Prog\n" + shortcuts,
         "&Ja",
         {kLongQuestion,
          "Fehler beim Erzeugen der Verknüpfung zum Prgramm C:\\Desk\\Neu\\Hilfe.txt!"},
         kMsgPrgGruppeFehler,
         false,
         kGroup + "=0\n",
         kGroup + "Editor.lnk=0\n" + kGroup + "Hilfe.lnk=0\nC:\\Ziel\\Liesmich.lnk=0\n" +
             uninstallIn + "=0\n",
         {{kGroup + "Editor.lnk",
           ShellLinkFields{"C:\\Ziel\\Editor.exe", "Texteditor", "C:\\Ziel\\"}},
          {kGroup + "Hilfe.lnk", ShellLinkFields{"C:\\Ziel\\Hilfe.txt", "Hilfe", ""}},
          {"C:\\Ziel\\Liesmich.lnk",
           ShellLinkFields{"C:\\Ziel\\Liesmich", "@@INSTDIR@@Liesmich", "C:\\Ziel\\Daten,1"}},
          {kGroup + "Fehlt.lnk", std::nullopt},
          {uninstallIn, uninstall}}},
        {"Nein: only the uninstaller's shortcut, in the installation folder",
         "[ProgGruppe]\nName=@@PROGRAMS@@Prog\n" + shortcuts,
         "&Nein",
         {kLongQuestion},
         kMsgPrgGruppeCancel,
         true,
         "",
         uninstallInTarget + "=0\n",
         {{kGroup + "Editor.lnk", std::nullopt}, {uninstallInTarget, uninstall}}},
        {"no group: the short question, shortcuts outside a group still made",
         "[ShortCuts]\n@@INSTDIR@@Liesmich=,@@INSTDIR@@Daten,1\n",
         "&Ja",
         {kShortQuestion},
         kMsgPrgGruppeErfolg,
         true,
         "",
         "C:\\Ziel\\Liesmich.lnk=0\n" + uninstallInTarget + "=0\n",
         {{"C:\\Ziel\\Liesmich.lnk",
           ShellLinkFields{"C:\\Ziel\\Liesmich", "@@INSTDIR@@Liesmich", "C:\\Ziel\\Daten,1"}},
          {uninstallInTarget, uninstall}}},
        {"a group two levels down: the group fails, its shortcuts fail one by one",
         "[ProgGruppe]\nName=C:\\Neu\\Gruppe\n[ShortCuts]\n@@PRGGRP@@Editor.exe=Texteditor\n",
         "&Ja",
         {kLongQuestion, "Fehler beim Erstellen der Programmgruppe C:\\Neu\\Gruppe\\!",
          "Fehler beim Erzeugen der Verknüpfung zum Prgramm C:\\Neu\\Gruppe\\Editor.exe!"},
         kMsgPrgGruppeFehler,
         false,
         "",
         uninstallInTarget + "=0\n",
         {{uninstallInTarget, ShellLinkFields{kUninstaller, "Prog deinstallieren", ""}}}},
        {"test mode: shortcuts to existing targets, nothing logged",
         "[ProgGruppe]\nName=@@PROGRAMS@@Prog\n[ShortCuts]\n@@INSTDIR@@Editor.exe=Texteditor\n",
         "&Ja",
         {kLongQuestion},
         kMsgPrgGruppeErfolg,
         true,
         "",
         "",
         {{"C:\\Ziel\\Editor.lnk", ShellLinkFields{"C:\\Ziel\\Editor.exe", "Texteditor", ""}},
          {uninstallIn, std::nullopt}},
         {"/TEST"},
         true},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        windows_.WriteFile(kLog, "");
        for (const char* name : {"Editor.exe", "Hilfe.txt", "Liesmich"}) {
            windows_.WriteFile(std::string("C:\\Ziel\\") + name, "x");
        }
        WriteProgScript(c.sections);
        std::string answers = "answer " + c.answer + "\n";
        for (std::size_t i = 1; i < c.dialogs.size(); ++i) {
            answers += "answer OK\n";  // the error boxes
        }
        auto result =
            Run("click BtnWeiter\n" + answers +
                    "click BtnWeiter\nexpect page 3\nexpect enabled BtnWeiter\n"
                    // Enter goes on, not to the cancel question.
                    "expect focus BtnWeiter\n"
                    "expect visible " +
                    std::string(c.result) + "\nexpect hidden LabelPrgGruppe\nexpect InstallOk " +
                    (c.installOk ? "yes" : "no"),
                c.arguments);
        EXPECT_EQ(DialogTexts(result), c.dialogs);
        // The step can't be entered twice: "&Weiter.." is off while it runs.
        EXPECT_TRUE(std::any_of(result.transcript.begin(), result.transcript.end(),
                                [](const std::string& line) {
                                    return line.starts_with("page 3") &&
                                           line.find("&Weiter.. (disabled)") != std::string::npos;
                                }));
        EXPECT_EQ(LogSection("ProgGruppe"), c.groupLog);
        EXPECT_EQ(LogSection("ShortCuts"), c.shortcutLog);
        for (const Expected& e : c.shortcuts) {
            EXPECT_EQ(Shortcut(e.path), e.fields) << e.path;
        }
        if (c.testMode) {
            EXPECT_FALSE(windows_.Exists(kGroup));
        }
        std::filesystem::remove_all(windows_.HostPath("C:\\Ziel"));
        std::filesystem::remove_all(windows_.HostPath("C:\\WINDOWS\\Startmenü\\Programme\\Prog"));
    }
}

// A shortcut file already there may be the user's own: it is replaced only after
// "&Ja" (or "&Alles"), and then logged as the installation's, which the uninstall
// removes; after "&Nein" it stays as it was and is not logged.
TEST_F(ProgramGroup, ExistingShortcutIsReplacedOnlyWhenTheUserAgrees) {
    struct Case {
        const char* answer;
        bool replaced;
    };
    for (const Case& c : {Case{"&Ja", true}, Case{"&Alles", true}, Case{"&Nein", false}}) {
        SCOPED_TRACE(c.answer);
        windows_.WriteFile(kLog, "");  // each case a first installation
        windows_.MakeFolder(kGroup);
        windows_.WriteFile(kGroup + "Editor.lnk", "old");
        windows_.WriteFile("C:\\Ziel\\Editor.exe", "x");
        WriteProgScript(
            "[ProgGruppe]\nName=@@PROGRAMS@@Prog\n[ShortCuts]\n@@PRGGRP@@Editor.exe=\n");
        auto result = Run("click BtnWeiter\nanswer &Ja\nanswer " + std::string(c.answer) +
                          "\nclick BtnWeiter\nexpect visible MsgPrgGruppeErfolg\n"
                          "expect text LblPrgGruppe Prog\nexpect InstallOk yes");
        ASSERT_EQ(DialogTexts(result).size(), 2u);
        EXPECT_EQ(DialogTexts(result)[1],
                  "Soll die existierende Verknüpfung\r\n" + kGroup +
                      "Editor.lnk\r\r\ndurch eine Verknüpfung zum Programm\r\n"
                      "C:\\Ziel\\Editor.exe\r\r\n ersetzt werden?");
        EXPECT_EQ(LogSection("ProgGruppe"), kGroup + "=1\n");
        EXPECT_EQ(LogSection("ShortCuts"), (c.replaced ? kGroup + "Editor.lnk=0\n" : "") + kGroup +
                                               "Uninstall Prog.lnk=0\n");
        if (c.replaced) {
            EXPECT_EQ(Shortcut(kGroup + "Editor.lnk"),
                      (ShellLinkFields{"C:\\Ziel\\Editor.exe", "@@PRGGRP@@Editor.exe", ""}));
        } else {
            EXPECT_EQ(windows_.ReadFile(kGroup + "Editor.lnk"), "old");
        }
    }
}

// An uninstaller the copy phase did not place (the user kept a file of its name
// in the target folder) gets neither a shortcut nor an uninstall entry.
TEST_F(ProgramGroup, NoShortcutOrEntryForAnUninstallerNotPlaced) {
    windows_.WriteFile("C:\\Ziel\\Uninst.exe", "the user's");
    WriteProgScript("[Registry]\nSoftwareKey=ProgKey\n");
    Run("answer &Nein\nclick BtnWeiter\nanswer &Nein\nclick BtnWeiter\nclick BtnWeiter\n"
        "expect page 4\nexpect nofile C:\\WINDOWS\\Uninstall Prog.exe\n"
        "expect nofile C:\\Ziel\\Uninstall Prog.lnk\n"
        "expect noreg HKLM software\\microsoft\\windows\\currentversion\\uninstall\\ProgKey");
    EXPECT_EQ(LogSection("ShortCuts"), "");
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Uninst.exe"), "the user's");
}

// A log that can't be written ends the step with the general error box; the
// wizard can still go on, and the finish page does not report success.
TEST_F(ProgramGroup, UnwritableLogEndsTheStepButNotTheWizard) {
    windows_.WriteFile("C:\\Ziel\\Editor.exe", "x");
    WriteProgScript("[ShortCuts]\n@@INSTDIR@@Editor.exe=Editor\n");
    TMainForm& form = CreateForm();
    form.Paint();
    ASSERT_TRUE(form.Click(kBtnWeiter));
    ASSERT_EQ(form.State().PageIndex, page::kCopy);
    ASSERT_TRUE(windows_.Os().Files().SetAttributes(kLog, platform::attr::kReadOnly));
    host_.QueueAnswer("&Ja");
    host_.QueueAnswer("OK");
    ASSERT_TRUE(form.Click(kBtnWeiter));
    ASSERT_EQ(host_.Dialogs().size(), 2u);
    EXPECT_EQ(host_.Dialogs()[1].text,
              "nach C:\\WINDOWS\\Uninstall Prog.ini kann nicht geschrieben werden.");
    EXPECT_TRUE(form.Model().Get(kBtnWeiter).enabled);
    EXPECT_FALSE(form.State().InstallOk);
    EXPECT_TRUE(form.Click(kBtnWeiter));
    EXPECT_EQ(form.State().PageIndex, page::kFinish);
}

}  // namespace
}  // namespace setup::app
