#include "Outcome.h"

#include "Screen.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <vector>

namespace e2e {

namespace {

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

bool ReadWholeFile(const std::wstring& path, std::vector<char>& out) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    out.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof(buffer), &got, nullptr) != FALSE) && got > 0) {
        out.insert(out.end(), buffer, buffer + got);
    }
    CloseHandle(file);
    return ok;
}

// Splits "HKLM\Software\X" into root and path.
bool SplitKey(const std::wstring& key, HKEY& root, std::wstring& path) {
    const auto slash = key.find(L'\\');
    const std::wstring head = key.substr(0, slash);
    path = slash == std::wstring::npos ? L"" : key.substr(slash + 1);
    struct Root {
        const wchar_t* shortName;
        const wchar_t* longName;
        HKEY key;
    };
    static const Root roots[] = {
        {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    };
    for (const auto& r : roots) {
        if (SameIgnoringCase(head, r.shortName) || SameIgnoringCase(head, r.longName)) {
            root = r.key;
            return true;
        }
    }
    return false;
}

// Owns a COM interface pointer.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }
    T** Out() { return &p_; }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    void Reset() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

bool DeleteKeyTree(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return true;  // missing already
    }
    std::vector<std::wstring> children;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        children.emplace_back(name, length);
    }
    RegCloseKey(key);
    for (const auto& child : children) {
        DeleteKeyTree(root, path + L"\\" + child);
    }
    return RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS;
}

template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    bool ok = true;
    ForEachEntry(from, [&](const std::wstring& name, bool folder) {
        ok = (folder ? CopyTree(from + L"\\" + name, to + L"\\" + name)
                     : CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(),
                                 FALSE) != FALSE) &&
             ok;
    });
    return ok;
}

}  // namespace

std::wstring CheckFile(const std::wstring& path, const std::wstring& original) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return L"no such file";
    }
    if (original.empty()) {
        return L"";
    }
    std::vector<char> installed, wanted;
    if (!ReadWholeFile(path, installed)) {
        return L"the file can't be read";
    }
    if (!ReadWholeFile(original, wanted)) {
        return L"the original " + original + L" can't be read";
    }
    if (installed == wanted) {
        return L"";
    }
    std::size_t at = 0;
    while (at < installed.size() && at < wanted.size() && installed[at] == wanted[at]) {
        ++at;
    }
    return L"differs from " + original + L": " + std::to_wstring(installed.size()) +
           L" bytes against " + std::to_wstring(wanted.size()) + L", first difference at byte " +
           std::to_wstring(at);
}

std::wstring CheckMissing(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return L"";
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? L"the folder exists" : L"the file exists";
}

std::wstring CheckIni(const std::wstring& file, const std::wstring& section,
                      const std::wstring& key, const std::wstring& value, bool absent) {
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return absent ? L"" : L"no such file";
    }
    const wchar_t* missing = L"\x01missing\x01";
    std::vector<wchar_t> buffer(4096);
    GetPrivateProfileStringW(section.c_str(), key.c_str(), missing, buffer.data(),
                             static_cast<DWORD>(buffer.size()), file.c_str());
    const std::wstring found = buffer.data();
    if (found == missing) {
        return absent ? L"" : L"no such key";
    }
    if (absent) {
        return L"the key exists with \"" + found + L"\"";
    }
    return Matches(value, found) ? L"" : L"the value is \"" + found + L"\"";
}

std::wstring CheckRegistry(const std::wstring& keyName, const std::wstring& value,
                           const std::wstring& data, bool absent) {
    HKEY root = nullptr;
    std::wstring path;
    if (!SplitKey(keyName, root, path)) {
        return L"unknown registry root";
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return absent ? L"" : L"no such key";
    }
    if (absent && value.empty()) {
        RegCloseKey(key);
        return L"the key exists";
    }
    const std::wstring name = value == L"@" ? L"" : value;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return absent ? L"" : L"no such value";
    }
    if (absent) {
        return L"the value exists";
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return L"the value is not a string (type " + std::to_wstring(type) + L")";
    }
    const std::wstring found = buffer.data();
    return Matches(data, found) ? L"" : L"the data is \"" + found + L"\"";
}

namespace {

// The shell's link object with its file interface, COM set up around it.
class ShellLinkObject {
  public:
    ShellLinkObject() : com_(CoInitialize(nullptr)) {
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkW, reinterpret_cast<void**>(link_.Out())))) {
            link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file_.Out()));
        }
    }
    ShellLinkObject(const ShellLinkObject&) = delete;
    ShellLinkObject& operator=(const ShellLinkObject&) = delete;
    ~ShellLinkObject() {
        file_.Reset();
        link_.Reset();
        if (SUCCEEDED(com_)) {
            CoUninitialize();
        }
    }
    bool Usable() const { return static_cast<bool>(link_) && static_cast<bool>(file_); }
    IShellLinkW* Link() const { return link_.Get(); }
    IPersistFile* File() const { return file_.Get(); }

  private:
    HRESULT com_;
    ComPtr<IShellLinkW> link_;
    ComPtr<IPersistFile> file_;
};

}  // namespace

std::wstring CheckShortcut(const std::wstring& link, const std::wstring& target,
                           const std::wstring* description, const std::wstring* folder) {
    if (GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return L"no such file";
    }
    ShellLinkObject shell;
    if (!shell.Usable()) {
        return L"the shell link object can't be created";
    }
    if (FAILED(shell.File()->Load(link.c_str(), STGM_READ))) {
        return L"the shell can't load the shortcut";
    }
    wchar_t text[MAX_PATH * 2] = {};
    shell.Link()->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
    if (!SameIgnoringCase(text, target)) {
        return L"the target is \"" + std::wstring(text) + L"\"";
    }
    text[0] = L'\0';
    shell.Link()->GetDescription(text, MAX_PATH * 2);
    if (description != nullptr && *description != text) {
        return L"the description is \"" + std::wstring(text) + L"\"";
    }
    text[0] = L'\0';
    shell.Link()->GetWorkingDirectory(text, MAX_PATH * 2);
    if (folder != nullptr && !SameIgnoringCase(*folder, text)) {
        return L"the working folder is \"" + std::wstring(text) + L"\"";
    }
    return L"";
}

bool MakeShortcut(const std::wstring& link, const std::wstring& target,
                  const std::wstring& description, const std::wstring& folder) {
    ShellLinkObject shell;
    return shell.Usable() && SUCCEEDED(shell.Link()->SetPath(target.c_str())) &&
           SUCCEEDED(shell.Link()->SetDescription(description.c_str())) &&
           SUCCEEDED(shell.Link()->SetWorkingDirectory(folder.c_str())) &&
           SUCCEEDED(shell.File()->Save(link.c_str(), TRUE));
}

namespace {

void ListInto(const std::wstring& folder, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::wstring> folders;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            out.push_back(path + L"\\");
            folders.push_back(path);
        } else {
            const unsigned long long size =
                (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            const unsigned long long time =
                (static_cast<unsigned long long>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                found.ftLastWriteTime.dwLowDateTime;
            out.push_back(path + L" (" + std::to_wstring(size) + L" bytes, time " +
                          std::to_wstring(time) + L")");
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const auto& child : folders) {
        ListInto(child, out);
    }
}

}  // namespace

std::vector<std::wstring> ListTree(const std::wstring& folder) {
    std::vector<std::wstring> out;
    ListInto(folder, out);
    std::sort(out.begin(), out.end());
    return out;
}

std::wstring TreeChanges(const std::vector<std::wstring>& before,
                         const std::vector<std::wstring>& after) {
    std::vector<std::wstring> gone, added;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    std::wstring out;
    int shown = 0;
    for (const auto& line : gone) {
        if (shown++ < 8) {
            out += L"\n    gone or changed: " + line;
        }
    }
    for (const auto& line : added) {
        if (shown++ < 8) {
            out += L"\n    new or changed: " + line;
        }
    }
    if (shown > 8) {
        out += L"\n    and " + std::to_wstring(shown - 8) + L" more";
    }
    return out;
}

bool RemovePath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return DeleteFileW(path.c_str()) != FALSE;
    }
    bool ok = true;
    ForEachEntry(
        path, [&](const std::wstring& name, bool) { ok = RemovePath(path + L"\\" + name) && ok; });
    return RemoveDirectoryW(path.c_str()) != FALSE && ok;
}

bool RemoveRegistryKey(const std::wstring& keyName) {
    HKEY root = nullptr;
    std::wstring path;
    return SplitKey(keyName, root, path) && !path.empty() && DeleteKeyTree(root, path);
}

bool CopyFileCreatingFolders(const std::wstring& from, const std::wstring& to) {
    for (auto at = to.find(L'\\', 3); at != std::wstring::npos; at = to.find(L'\\', at + 1)) {
        CreateDirectoryW(to.substr(0, at).c_str(), nullptr);
    }
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

std::wstring RegistryString(const std::wstring& keyName, const std::wstring& value) {
    HKEY root = nullptr;
    std::wstring path;
    HKEY key = nullptr;
    if (!SplitKey(keyName, root, path) ||
        RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return L"";
    }
    wchar_t data[2048] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    const bool read = RegQueryValueExW(key, value == L"@" ? L"" : value.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS &&
                      (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(key);
    return read ? data : L"";
}

bool SetRegistryString(const std::wstring& keyName, const std::wstring& value,
                       const std::wstring& data) {
    HKEY root = nullptr;
    std::wstring path;
    HKEY key = nullptr;
    if (!SplitKey(keyName, root, path) ||
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool written =
        RegSetValueExW(key, value == L"@" ? L"" : value.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

bool SwapMedium(const std::wstring& from, const std::wstring& drive) {
    ForEachEntry(drive, [&](const std::wstring& name, bool) {
        RemovePath(drive + L"\\" + name);  // the running program stays
    });
    return CopyTree(from, drive);
}

}  // namespace e2e
