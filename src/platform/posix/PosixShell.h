// The emulated shell: special folders from a table (CSIDL number to Windows path),
// and link objects that write shortcut files in the binary Shell Link format
// through the emulated file system.
#pragma once

#include <map>

#include "platform/Os.h"

namespace setup::platform::posix {

// What CreateShellLink hands out, so that tests can take the shell's link object away.
enum class ShellLinkSupport {
    Available,
    NotRegistered,    // the object can't be created
    NoFileInterface,  // it is created but refuses IPersistFile
};

class PosixShell final : public Shell {
  public:
    explicit PosixShell(FileSystem& files) : files_(files) {}

    std::unique_ptr<ShellLinkObject> CreateShellLink() override;
    std::optional<std::string> SpecialFolderPath(int csidl) override;

    // Sets (or, with nothing, removes) the folder the shell reports for a number.
    void SetSpecialFolder(int csidl, std::optional<std::string> path);
    void SetShellLinkSupport(ShellLinkSupport support) { linkSupport_ = support; }

  private:
    FileSystem& files_;
    std::map<int, std::string> folders_;
    ShellLinkSupport linkSupport_ = ShellLinkSupport::Available;
};

}  // namespace setup::platform::posix
