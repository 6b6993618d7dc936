// The window system's services for the wizard on Windows: our message dialogs,
// the shell's folder dialog and the end of the program.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>
#include <string_view>

#include "app/UiHost.h"

namespace setup::ui::win32 {

class Win32UiHost final : public app::UiHost {
  public:
    // The window that owns the dialogs (null until the main window exists).
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const { return owner_; }

    int ShowDialog(const app::MessageDialog& dialog) override;
    std::string BrowseForFolder(int rootCsidl, std::string_view title,
                                std::string_view initialFolder) override;
    // Asks the thread's message loop to end (WM_QUIT).
    void EndProgram() override;
    bool ProgramEnded() const { return ended_; }

  private:
    HWND owner_ = nullptr;
    bool ended_ = false;
};

}  // namespace setup::ui::win32
