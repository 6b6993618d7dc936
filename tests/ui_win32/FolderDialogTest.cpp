// The folder dialog opened from the main window: where it starts, and what a
// choice or a cancel leaves in the field.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "MainWindowFixture.h"

namespace setup::testing {
namespace {

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
