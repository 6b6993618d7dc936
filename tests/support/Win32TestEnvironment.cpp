// The Windows test environment: the real system (the process's Win32Os), a fresh
// folder under the temporary folder and fresh registry keys, all removed afterwards.
#ifdef _WIN32

#include "platform/win32/WinApi.h"

#include <string>

#include "platform/win32/Win32Os.h"
#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

int g_serial = 0;

// Deletes a folder with everything in it; best effort.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// Deletes a key with all its subkeys (RegDeleteKeyA refuses keys that have any);
// best effort.
void RemoveKeyTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[256];
        DWORD length = sizeof(name);
        while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS) {
            const std::string child = path + "\\" + name;
            RemoveKeyTree(root, child);
            length = sizeof(name);
            // A child that could not be removed would be found again forever.
            HKEY still = nullptr;
            if (RegOpenKeyExA(root, child.c_str(), 0, KEY_READ, &still) == ERROR_SUCCESS) {
                RegCloseKey(still);
                break;
            }
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path.c_str());
}

class Win32TestEnvironment final : public TestEnvironment {
  public:
    Win32TestEnvironment()
        : scoped_(platform::win32::ProcessOs()),
          id_(std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++g_serial)) {
        char buffer[MAX_PATH + 1];
        const DWORD length = GetTempPathA(sizeof(buffer), buffer);
        std::string temp(buffer, length > 0 && length < sizeof(buffer) ? length : 0);
        if (!temp.empty() && temp.back() != '\\') {
            temp += '\\';
        }
        scratch_ = temp + "setup-test-" + id_ + "\\";
        CreateDirectoryA(scratch_.c_str(), nullptr);
        registryKey_ = std::string(kKeyParent) + "\\" + id_;
        startFolder_ = platform::win32::ProcessOs().Files().GetCurrentFolder();
    }

    ~Win32TestEnvironment() override {
        // A test may have made the scratch folder current, which would keep it.
        SetCurrentDirectoryA(startFolder_.c_str());
        RemoveTree(scratch_);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) {
            RemoveKeyTree(root, registryKey_);
            RegDeleteKeyA(root, kKeyParent);  // only succeeds once it is empty
        }
    }

    platform::Os& Os() override { return platform::win32::ProcessOs(); }
    std::string ScratchFolder() override { return scratch_; }
    std::string ScratchRegistryKey() override { return registryKey_; }

  private:
    static constexpr char kKeyParent[] = "Software\\SetupContractTest";

    platform::ScopedOs scoped_;
    std::string id_;
    std::string scratch_;
    std::string registryKey_;
    std::string startFolder_;
};

}  // namespace

std::unique_ptr<TestEnvironment> MakeTestEnvironment() {
    return std::make_unique<Win32TestEnvironment>();
}

}  // namespace setup::testing

#endif  // _WIN32
