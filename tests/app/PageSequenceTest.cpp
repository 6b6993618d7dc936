// The page sequence, the info text page and test mode, driven through sessions.
#include "support/WizardTest.h"
#include "system/IniFile.h"

namespace setup::app {
namespace {

struct SequenceCase {
    const char* name;
    const char* ini;
    const char* session;  // with its own "expect" lines
    std::vector<std::string> arguments = {};
};

class PageSequence : public WizardTest {};

TEST_F(PageSequence, Rows) {
    const SequenceCase cases[] = {
        {"every page with the module selection",
         "[ProgInfos]\nAuswahl=1\nZielVerz=C:\\Ziel\n[Auswahl]\nHilfe=1\n",
         R"(expect page 0
            expect visible PanelVerzWahl
            expect visible BtnWeiter
            expect visible BtnCancel
            expect enabled BtnCancel
            expect hidden BtnOK
            expect hidden BtnBeenden
            click BtnWeiter
            expect page 1
            expect visible PanelAuswahl
            expect hidden PanelVerzWahl
            expect visible BtnWeiter
            expect text EditInstallDir C:\Ziel\
            click BtnWeiter
            expect page 2
            expect visible PanelKopieren
            expect hidden PanelAuswahl
            answer &Nein
            click BtnWeiter
            expect page 3
            expect visible PanelPrgGruppe
            expect hidden PanelKopieren
            expect enabled BtnCancel
            click BtnWeiter
            expect page 4
            expect hidden PanelPrgGruppe
            expect hidden BtnWeiter
            expect disabled BtnCancel
            expect visible BtnBeenden
            expect visible Erfolgsmeldung
            expect InstallOk yes
            click BtnBeenden
            expect ended)"},
        {"selection switched off: one click starts copying",
         "[ProgInfos]\nZielVerz=C:\\Ziel\n[Auswahl]\nHilfe=1\n",
         "click BtnWeiter\nexpect page 2\nexpect visible PanelKopieren\nexpect hidden "
         "PanelAuswahl"},
        {"no module preselected: the selection page is skipped",
         "[ProgInfos]\nAuswahl=1\nZielVerz=C:\\Ziel\n[Auswahl]\nHilfe=0\nExtras=\n",
         "click BtnWeiter\nexpect page 2\nexpect visible PanelKopieren\nexpect hidden "
         "PanelAuswahl"},
        {"no [Auswahl] section: the selection page is skipped",
         "[ProgInfos]\nAuswahl=1\nZielVerz=C:\\Ziel\n", "click BtnWeiter\nexpect page 2"},
        {"a folder that can't be made keeps page 0 until corrected",
         "[ProgInfos]\nZielVerz=Q:\\Ziel\n",
         R"(click BtnWeiter
            expect page 0
            expect InstallOk no
            expect visible PanelVerzWahl
            type C:\Ziel
            click BtnWeiter
            expect page 2
            expect InstallOk yes)"},
        {"test mode goes on with a folder that can't be made",
         "[ProgInfos]\nZielVerz=Q:\\Ziel\n",
         "expect text MainForm  Installation (Testmodus!)\nclick BtnWeiter\nexpect page 2",
         {"/test"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteScript(c.ini);
        Run(c.session, c.arguments);
    }
}

TEST_F(PageSequence, TestModeIsTheFirstArgumentOnly) {
    WriteScript("[ProgInfos]\nFirma=F\n");
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"/test"}, "F Installation (Testmodus!)"},
        {{"/TEST", "x"}, "F Installation (Testmodus!)"},
        {{"/TESTX"}, "F Installation"},
        {{"x", "/TEST"}, "F Installation"},
        {{}, "F Installation"},
    };
    for (const auto& [arguments, caption] : cases) {
        Run(std::string("expect text MainForm ") + caption, arguments);
    }
}

TEST_F(PageSequence, TestModeLeavesTheSystemAlone) {
    WriteScript("[ProgInfos]\nName=Prog\nUninstaller=Uninst.exe\nZielVerz=C:\\Neu\n");
    windows_.WriteFile("D:\\Uninst.exe", "MZ");
    Run("click BtnWeiter\nexpect page 2", {"/TEST"});
    EXPECT_FALSE(windows_.Exists("C:\\Neu"));
    EXPECT_FALSE(windows_.Exists("C:\\WINDOWS\\Uninstall Prog.ini"));
}

struct InfoCase {
    const char* name;
    const char* infodatei;  // the [Infodatei] section's lines
    const char* session;
};

TEST_F(PageSequence, InfoPageVariants) {
    windows_.WriteFile("D:\\Liesmich.txt", "Zeile 1\nZeile 2\r\n");
    windows_.WriteFile("C:\\Texte\\Info.txt", "Anderswo\n");
    const InfoCase cases[] = {
        {"OK leads to the folder page and does nothing else",
         "Anzeigen=2\nDateiname=Liesmich.txt\n",
         R"(expect page -1
            expect visible MemoInfos
            expect text MemoInfos Zeile 1\r\nZeile 2\r\n
            expect visible BtnOK
            expect hidden BtnYes
            expect hidden BtnNo
            expect hidden BtnWeiter
            expect hidden BtnCancel
            expect focus BtnOK
            click OK
            expect page 0
            expect hidden MemoInfos
            expect visible PanelVerzWahl
            expect visible BtnWeiter
            expect visible BtnCancel
            expect hidden BtnOK
            expect focus EditInstallDir
            expect InstallOk no)"},
        {"Ja shown instead of OK",
         "Anzeigen=2\nDateiname=Liesmich.txt\nOK_Button=0\nJa_Button=1\nAbbruch_Button=1\n",
         "expect hidden BtnOK\nexpect visible BtnYes\nexpect visible BtnCancel\n"
         "expect focus BtnYes\nclick &Ja\nexpect page 0\nexpect hidden BtnYes\n"
         "expect focus EditInstallDir"},
        {"Nein ends without a question", "Anzeigen=2\nDateiname=Liesmich.txt\nNein_Button=1\n",
         "expect visible BtnNo\nexpect focus BtnOK\nclick &Nein\nexpect ended"},
        {"only Nein: it has the focus",
         "Anzeigen=2\nDateiname=Liesmich.txt\nOK_Button=0\nNein_Button=1\n",
         "expect hidden BtnOK\nexpect focus BtnNo"},
        {"a name with a folder part is used unchanged",
         "Anzeigen=2\nDateiname=C:\\Texte\\Info.txt\n", "expect text MemoInfos Anderswo\\r\\n"},
        {"a file that can't be loaded: the folder page shows, but the page index is -1",
         "Anzeigen=2\nDateiname=Fehlt.txt\n",
         R"(expect page -1
            expect hidden MemoInfos
            expect visible BtnWeiter
            expect hidden BtnOK
            expect focus EditInstallDir
            click BtnWeiter
            expect page 0
            click BtnWeiter
            expect page 2)"},
        {"no file name: no info page", "Anzeigen=2\n", "expect page 0"},
        {"Anzeigen=1 without the update check: no info page",
         "Anzeigen=1\nDateiname=Liesmich.txt\n", "expect page 0"},
        {"Anzeigen=0: never", "Anzeigen=0\nDateiname=Liesmich.txt\n", "expect page 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteScript(std::string("[ProgInfos]\nZielVerz=C:\\Ziel\n[Infodatei]\n") + c.infodatei);
        Run(c.session);
    }
}

TEST_F(PageSequence, InfoPageUnderAnzeigen1FollowsTheUpdateCheck) {
    // The check runs but finds nothing (no SoftwareKey): result 0, below 4.
    windows_.WriteFile("D:\\Liesmich.txt", "Text");
    WriteScript("[Infodatei]\nAnzeigen=1\nDateiname=Liesmich.txt\n[Update]\nAnbieten=1\n");
    Run("expect page -1\nexpect visible MemoInfos");
}

TEST_F(PageSequence, DoubleClickDuringTheSequenceRunsItOnce) {
    WriteScript("[ProgInfos]\nZielVerz=C:\\Ziel\n");
    Run("at pump 1 click BtnWeiter\nclick BtnWeiter\nexpect page 2");
}

// The uninstall log after each leave of page 0.
class UninstallLog : public WizardTest {
  protected:
    void SetUp() override { windows_.WriteFile("D:\\Uninst.exe", "MZ"); }

    // Sections and keys of the log, as "[Section] key=value" lines.
    std::string LogContents(std::string_view path) {
        IniFile log{std::string(path)};
        std::string text;
        for (const auto& section : log.ReadSections()) {
            for (const auto& key : log.ReadSectionKeys(section)) {
                text += "[" + section + "] " + key + "=" + log.ReadString(section, key, "") + "\n";
            }
        }
        return text;
    }
};

TEST_F(UninstallLog, EachLeaveOfPage0StartsFromTheEarlierLog) {
    WriteScript(
        "[ProgInfos]\nName=Prog!\nUninstaller=Uninst.exe\nZielVerz=Q:\\Ziel\n"
        "[Registry]\nSoftwareKey=ProgKey\n");
    // The log of an earlier installation of the same program: its records stay,
    // a folder that can't be made is not one, the uninstall entry is the new one.
    windows_.WriteFile("C:\\WINDOWS\\Uninstall Prog.ini",
                       "[Programm]\nName=Alt\n[Dateien]\nC:\\Alt\\a.exe=1\n[Registry]\nx=y\n"
                       "SoftwareKey=AltKey\n");
    windows_.MakeFolder("C:\\Da");
    const char* path = "C:\\WINDOWS\\Uninstall Prog.ini";
    const std::string earlier =
        "[Programm] Name=Prog!\n[Programm] SoftwareKey=ProgKey\n[Dateien] C:\\Alt\\a.exe=1\n"
        "[Registry] x=y\n[Registry] SoftwareKey=ProgKey\n";

    Run("click BtnWeiter\nexpect page 0");
    EXPECT_EQ(LogContents(path), earlier);

    Run("click BtnWeiter\ntype C:\\Da\nclick BtnWeiter\nexpect page 2");
    EXPECT_EQ(LogContents(path),
              "[Programm] Name=Prog!\n[Programm] SoftwareKey=ProgKey\n"
              "[Dateien] C:\\Alt\\a.exe=1\n[Dateien] C:\\Da\\Setup.ini=0\n"
              "[Registry] x=y\n[Registry] SoftwareKey=ProgKey\n"
              "[Ordner] C:\\Da\\=1\n");
}

TEST_F(UninstallLog, NewFolderIsLoggedAsCreated) {
    WriteScript(
        "[ProgInfos]\nName=Texteditor\nUninstaller=Uninst.exe\nZielVerz=C:\\Programme\\Neu\n");
    Run("click BtnWeiter\nexpect page 2");
    EXPECT_EQ(LogContents("C:\\WINDOWS\\Uninstall Texteditor.ini"),
              "[Programm] Name=Texteditor\n[Ordner] C:\\Programme\\Neu\\=0\n"
              "[Dateien] C:\\Programme\\Neu\\Setup.ini=0\n");
}

TEST_F(UninstallLog, EmptyProgramNameGivesABareLogName) {
    WriteScript("[ProgInfos]\nUninstaller=Uninst.exe\nZielVerz=C:\\Ziel\n");
    Run("click BtnWeiter");
    EXPECT_TRUE(windows_.Exists("C:\\WINDOWS\\Uninstall .ini"));
}

TEST_F(UninstallLog, NoUninstallerNoLog) {
    WriteScript("[ProgInfos]\nName=Prog\nUninstaller=Fehlt.exe\nZielVerz=C:\\Ziel\n");
    Run("click BtnWeiter\nexpect page 2");
    EXPECT_FALSE(windows_.Exists("C:\\WINDOWS\\Uninstall Prog.ini"));
}

TEST_F(UninstallLog, ALogThatCantBeWrittenIsAnErrorOfTheClick) {
    WriteScript("[ProgInfos]\nName=Prog\nUninstaller=Uninst.exe\nZielVerz=C:\\Ziel\n");
    windows_.WriteFile("C:\\WINDOWS\\Uninstall Prog.ini", "[Programm]\nName=Alt\n");
    windows_.Os().Files().SetAttributes("C:\\WINDOWS\\Uninstall Prog.ini",
                                        platform::attr::kReadOnly);
    auto result = Run("answer OK\nclick BtnWeiter\nexpect page 0\nexpect InstallOk no");
    ASSERT_EQ(result.dialogs.size(), 1u);
    EXPECT_EQ(result.dialogs[0].caption, " Installation");
    EXPECT_EQ(result.dialogs[0].text,
              "nach C:\\WINDOWS\\Uninstall Prog.ini kann nicht geschrieben werden.");
    EXPECT_FALSE(windows_.Exists("C:\\Ziel"));
}

}  // namespace
}  // namespace setup::app
