#include "ui/win32/Win32UiHost.h"

#include "ui/win32/FolderDialog.h"
#include "ui/win32/MessageBoxWindow.h"

namespace setup::ui::win32 {

int Win32UiHost::ShowDialog(const app::MessageDialog& dialog) {
    return RunMessageDialog(owner_ != nullptr && IsWindow(owner_) ? owner_ : nullptr, dialog);
}

std::string Win32UiHost::BrowseForFolder(int rootCsidl, std::string_view title,
                                         std::string_view initialFolder) {
    return win32::BrowseForFolder(owner_, rootCsidl, title, initialFolder);
}

void Win32UiHost::EndProgram() {
    if (!ended_) {
        ended_ = true;
        PostQuitMessage(0);
    }
}

}  // namespace setup::ui::win32
