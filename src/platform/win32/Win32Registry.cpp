#include "platform/win32/Win32Registry.h"

#include "platform/win32/WinApi.h"

#include "platform/win32/Handles.h"

namespace setup::platform::win32 {
namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

bool CountEntries(HKEY key, DWORD& subKeys, DWORD& values) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

class Win32RegistryKey final : public RegistryKey {
  public:
    explicit Win32RegistryKey(KeyHandle key) : key_(std::move(key)) {}

    RegValue Query(std::string_view valueName) override {
        const std::string name(valueName);
        RegValue value;
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return value;  // Missing
        }
        value.type = static_cast<RegType>(type);
        if (size > 0) {
            value.data.assign(size, '\0');
            if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(value.data.data()),
                                 &size) != ERROR_SUCCESS) {
                value.data.clear();
                value.status = RegQueryStatus::ReadFailed;
                return value;
            }
            value.type = static_cast<RegType>(type);
            value.data.resize(size);
        }
        value.status = RegQueryStatus::Ok;
        return value;
    }

    bool SetString(std::string_view valueName, std::string_view text) override {
        // REG_SZ data is stored with its terminating NUL.
        const std::string data(text);
        return RegSetValueExA(key_.Get(), std::string(valueName).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    }

    bool DeleteValue(std::string_view valueName) override {
        return RegDeleteValueA(key_.Get(), std::string(valueName).c_str()) == ERROR_SUCCESS;
    }

    bool IsEmpty() override {
        DWORD subKeys = 0;
        DWORD values = 0;
        return CountEntries(key_.Get(), subKeys, values) && subKeys == 0 && values == 0;
    }

    bool HasSubKeys() override {
        DWORD subKeys = 0;
        DWORD values = 0;
        return CountEntries(key_.Get(), subKeys, values) && subKeys != 0;
    }

  private:
    KeyHandle key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::Open(RegRoot root, std::string_view subKey) {
    const std::string path(subKey);
    HKEY key = nullptr;
    // Without administrator rights full access to HKEY_LOCAL_MACHINE is refused;
    // reading is still enough for the lookups.
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS &&
        RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(KeyHandle(key));
}

std::unique_ptr<RegistryKey> Win32Registry::Create(RegRoot root, std::string_view subKey) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(RootKey(root), std::string(subKey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(KeyHandle(key));
}

bool Win32Registry::DeleteKey(RegRoot root, std::string_view subKey) {
    const std::string path(subKey);
    if (path.find_first_not_of('\\') == std::string::npos) {
        return false;  // the root itself
    }
    // Windows 9x would delete the subkeys too; the check makes every system agree.
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    KeyHandle open(key);
    DWORD subKeys = 0;
    DWORD values = 0;
    if (!CountEntries(open.Get(), subKeys, values) || subKeys != 0) {
        return false;
    }
    open.Reset();
    return RegDeleteKeyA(RootKey(root), path.c_str()) == ERROR_SUCCESS;
}

}  // namespace setup::platform::win32
