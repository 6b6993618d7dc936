// Special folders of the emulated shell: a table from CSIDL number to Windows path.
#pragma once

#include <map>

#include "platform/Os.h"

namespace setup::platform::posix {

class PosixShell final : public Shell {
  public:
    std::optional<std::string> SpecialFolderPath(int csidl) override;

    // Sets (or, with nothing, removes) the folder the shell reports for a number.
    void SetSpecialFolder(int csidl, std::optional<std::string> path);

  private:
    std::map<int, std::string> folders_;
};

}  // namespace setup::platform::posix
