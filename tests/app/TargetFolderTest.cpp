// The target-folder page: creating the folder, the script copy and its deletion
// at the end, and the folder dialog.
#include "app/WidgetNames.h"
#include "support/WizardTest.h"

namespace setup::app {
namespace {

class TargetFolder : public FormTest {
  protected:
    // Starts the installer with the field set to `folder` and leaves page 0.
    TMainForm& Leave(std::string_view folder, std::vector<std::string> arguments = {}) {
        TMainForm& form = CreateForm(std::move(arguments));
        form.Paint();
        form.UserEditedText(kEditInstallDir, folder);
        form.Click(kBtnWeiter);
        return form;
    }
};

TEST_F(TargetFolder, NewFolderIsCreatedAndTheScriptCopied) {
    WriteScript("[ProgInfos]\nName=P\n");
    TMainForm& form = Leave("C:\\Programme\\Neu\\Tief");
    EXPECT_EQ(form.State().PageIndex, 2);
    EXPECT_TRUE(windows_.Exists("C:\\Programme\\Neu\\Tief\\Setup.ini"));
    EXPECT_EQ(form.State().ScriptPath, "C:\\Programme\\Neu\\Tief\\Setup.ini");
    // Later readers use the copy: a change to the medium's script has no effect.
    WriteScript("[Auswahl]\nA=1\n");
    EXPECT_FALSE(form.FillModuleLists());
}

// The installation folder first (an update looks for it there), then the parents
// it needed, so that the uninstall removes them when they are empty.
TEST_F(TargetFolder, EveryFolderMadeIsLoggedTheInstallationFolderFirst) {
    WriteScript("[ProgInfos]\nName=P\nUninstaller=Uninst.exe\n");
    windows_.WriteFile("D:\\Uninst.exe", "MZ");
    Leave("C:\\Programme\\Neu\\Tief");
    const IniFile log("C:\\WINDOWS\\Uninstall P.ini");
    EXPECT_EQ(log.ReadSectionKeys("Ordner"),
              (std::vector<std::string>{"C:\\Programme\\Neu\\Tief\\", "C:\\Programme\\Neu\\"}));
    EXPECT_EQ(log.ReadString("Ordner", "C:\\Programme\\Neu\\", ""), "0");
}

struct FolderCase {
    const char* typed;
    bool leaves;
    const char* error;  // the error box's text, or empty
};

TEST_F(TargetFolder, FolderTexts) {
    const FolderCase cases[] = {
        {"C:\\", true, ""},
        {"C:", true, ""},
        {"Neu", false, "Das Verzeichnis kann nicht erstellt werden."},
        {"", false, "Das Verzeichnis kann nicht erstellt werden."},
        {"Q:\\Ziel", false, ""},  // a drive that does not exist
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        WriteScript("[ProgInfos]\nName=P\n");
        host_.Dialogs().clear();
        if (*c.error != '\0') {
            host_.QueueAnswer("OK");
        }
        TMainForm& form = Leave(c.typed);
        EXPECT_EQ(form.State().PageIndex, c.leaves ? 2 : 0);
        EXPECT_EQ(form.State().InstallOk, c.leaves);
        ASSERT_EQ(host_.Dialogs().size(), *c.error != '\0' ? 1u : 0u);
        if (*c.error != '\0') {
            EXPECT_EQ(host_.Dialogs()[0].text, c.error);
        }
    }
}

TEST_F(TargetFolder, ExistingScriptInTheTargetIsKeptAndNotDeleted) {
    WriteScript("[ProgInfos]\nName=P\n");
    windows_.WriteFile("C:\\Ziel\\Setup.ini", "alt");
    TMainForm& form = Leave("C:\\Ziel");
    EXPECT_EQ(form.State().ScriptPath, "D:\\Setup.ini");
    form.Click(kBtnWeiter);
    form.Click(kBtnWeiter);
    ASSERT_TRUE(form.Click(kBtnBeenden));
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Setup.ini"), "alt");
    EXPECT_TRUE(host_.ProgramEnded());
}

TEST_F(TargetFolder, InstallingIntoTheMediumNeverDeletesItsScript) {
    WriteScript("[ProgInfos]\nName=P\n");
    TMainForm& form = Leave("D:\\");
    EXPECT_EQ(form.State().ScriptPath, "D:\\Setup.ini");
    form.Click(kBtnWeiter);
    form.Click(kBtnWeiter);
    form.Click(kBtnBeenden);
    EXPECT_TRUE(windows_.Exists("D:\\Setup.ini"));
}

TEST_F(TargetFolder, BeendenDeletesTheReadOnlyCopy) {
    WriteScript("[ProgInfos]\nName=P\n");
    windows_.Os().Files().SetAttributes("D:\\Setup.ini", platform::attr::kReadOnly);
    TMainForm& form = Leave("C:\\Ziel");
    ASSERT_TRUE(windows_.Exists("C:\\Ziel\\Setup.ini"));
    form.Click(kBtnWeiter);
    form.Click(kBtnWeiter);
    form.Click(kBtnBeenden);
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\Setup.ini"));
}

TEST_F(TargetFolder, TestModeChangesNothing) {
    WriteScript("[ProgInfos]\nName=P\n");
    TMainForm& form = Leave("C:\\Neu", {"/TEST"});
    EXPECT_EQ(form.State().PageIndex, 2);
    EXPECT_FALSE(windows_.Exists("C:\\Neu"));
    EXPECT_EQ(form.State().ScriptPath, "D:\\Setup.ini");
}

class FolderDialog : public WizardTest {};

TEST_F(FolderDialog, ChoosingAndCancelling) {
    WriteScript("[ProgInfos]\nZielVerz=C:\\Programme\n");
    auto result = Run(R"(browse C:\Gewählt
                         click S&uchen..
                         expect text EditInstallDir C:\Gewählt\
                         browse cancel
                         click BtnSuchen
                         expect text EditInstallDir C:\Gewählt\)");
    EXPECT_TRUE(HasLine(result,
                        "folder dialog (root 17) \"Zielverzeichnis auswählen:\" opening on "
                        "\"C:\\Programme\" -> \"C:\\Gewählt\""));
    EXPECT_TRUE(HasLine(result,
                        "folder dialog (root 17) \"Zielverzeichnis auswählen:\" opening on "
                        "\"C:\\Gewählt\\\" -> cancel"));
}

}  // namespace
}  // namespace setup::app
