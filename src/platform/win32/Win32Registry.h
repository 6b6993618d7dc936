// The registry through RegOpenKeyExA, RegCreateKeyExA, RegQueryValueExA and
// RegSetValueExA, RegDeleteValueA and RegDeleteKeyA; keys close with RegCloseKey when their object
// goes.
#pragma once

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32Registry final : public Registry {
  public:
    std::unique_ptr<RegistryKey> Open(RegRoot root, std::string_view subKey) override;
    std::unique_ptr<RegistryKey> Create(RegRoot root, std::string_view subKey) override;
    bool DeleteKey(RegRoot root, std::string_view subKey) override;
};

}  // namespace setup::platform::win32
