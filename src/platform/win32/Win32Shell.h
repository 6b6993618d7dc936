// The shell's special folders.
#pragma once

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32Shell final : public Shell {
  public:
    std::optional<std::string> SpecialFolderPath(int csidl) override;
};

}  // namespace setup::platform::win32
