#include "platform/win32/Win32Shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include "platform/win32/WinApi.h"

#include "platform/win32/Win32ShellLink.h"

namespace setup::platform::win32 {
namespace {

// The item list the shell allocates with its task allocator.
class ItemList {
  public:
    ItemList() = default;
    ~ItemList() { CoTaskMemFree(items_); }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    LPITEMIDLIST* Out() { return &items_; }
    LPCITEMIDLIST Get() const { return items_; }

  private:
    LPITEMIDLIST items_ = nullptr;
};

}  // namespace

std::unique_ptr<ShellLinkObject> Win32Shell::CreateShellLink() {
    return CreateWin32ShellLink();
}

std::optional<std::string> Win32Shell::SpecialFolderPath(int csidl) {
    ItemList items;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, items.Out())) || items.Get() == nullptr) {
        return std::nullopt;
    }
    char path[MAX_PATH] = {};
    // A folder without a file-system path (a virtual one) counts as not located.
    if (!SHGetPathFromIDListA(items.Get(), path) || path[0] == '\0') {
        return std::nullopt;
    }
    return std::string(path);
}

std::intptr_t Win32Shell::OpenWithShell(std::string_view path) {
    const std::string file(path);
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace setup::platform::win32
