#include "ui/win32/FolderDialog.h"

#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

// Selects the folder passed as the dialog's user value once the dialog is up.
int CALLBACK SelectInitialFolder(HWND dialog, UINT message, LPARAM /*lParam*/, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        // TRUE: the value is a path, not an item list.
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

}  // namespace

std::string BrowseForFolder(HWND owner, int rootCsidl, std::string_view title,
                            std::string_view initialFolder) {
    ComApartment com;
    ItemIdList root;
    if (FAILED(SHGetSpecialFolderLocation(owner, rootCsidl, root.Out())) || root.Get() == nullptr) {
        return {};
    }
    // The field's folder ends in a backslash once chosen; the shell is asked for the
    // folder itself (a drive's root keeps its backslash).
    std::string initial(initialFolder);
    if (initial.size() > 3 && initial.back() == '\\') {
        initial.pop_back();
    }
    const std::string titleText(title);
    char displayName[MAX_PATH] = {};

    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.Get();
    info.pszDisplayName = displayName;
    info.lpszTitle = titleText.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(initial.c_str());

    ItemIdList chosen(SHBrowseForFolderA(&info));
    char path[MAX_PATH] = {};
    if (chosen.Get() == nullptr || !SHGetPathFromIDListA(chosen.Get(), path)) {
        return {};
    }
    return path;
}

}  // namespace setup::ui::win32
