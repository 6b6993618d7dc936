// The shell's special folders and its link object.
#pragma once

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32Shell final : public Shell {
  public:
    std::unique_ptr<ShellLinkObject> CreateShellLink() override;
    std::optional<std::string> SpecialFolderPath(int csidl) override;
    std::intptr_t OpenWithShell(std::string_view path) override;
};

}  // namespace setup::platform::win32
