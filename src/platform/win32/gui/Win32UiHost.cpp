#include "platform/win32/gui/Win32UiHost.h"

#include "platform/win32/gui/FolderDialog.h"
#include "platform/win32/gui/MessageBoxWindow.h"

namespace setup::platform::win32::gui {

int Win32UiHost::ShowDialog(const app::MessageDialog& dialog) {
    return RunMessageDialog(owner_ != nullptr && IsWindow(owner_) ? owner_ : nullptr, dialog);
}

std::string Win32UiHost::BrowseForFolder(int rootCsidl, std::string_view title,
                                         std::string_view initialFolder) {
    return gui::BrowseForFolder(owner_, rootCsidl, title, initialFolder);
}

void Win32UiHost::EndProgram() {
    if (!ended_) {
        ended_ = true;
        PostQuitMessage(0);
    }
}

}  // namespace setup::platform::win32::gui
