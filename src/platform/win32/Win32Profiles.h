// Profile (INI) files through GetPrivateProfileStringA and WritePrivateProfileStringA.
#pragma once

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32Profiles final : public ProfileFiles {
  public:
    std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t maxChars) override;
    std::vector<std::string> ListKeys(std::string_view file, std::string_view section) override;
    std::vector<std::string> ListSections(std::string_view file) override;
    bool WriteString(std::string_view file, std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool EraseSection(std::string_view file, std::string_view section) override;
};

}  // namespace setup::platform::win32
