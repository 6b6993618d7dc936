// The emulated shell: special folders from a table (CSIDL number to Windows path),
// link objects that write shortcut files in the binary Shell Link format through
// the emulated file system, and an opener whose outcome is configured per file or
// per extension.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Os.h"

namespace setup::platform::posix {

// What CreateShellLink hands out, so that tests can take the shell's link object away.
enum class ShellLinkSupport {
    Available,
    NotRegistered,    // the object can't be created
    NoFileInterface,  // it is created but refuses IPersistFile
};

// A result above 32 that the emulated opener reports for a file it handed over.
inline constexpr std::intptr_t kOpenedResult = 42;

struct ShellOpenCall {
    std::string path;  // as asked for
    std::intptr_t result = 0;
};

class PosixShell final : public Shell {
  public:
    explicit PosixShell(FileSystem& files) : files_(files) {}

    std::unique_ptr<ShellLinkObject> CreateShellLink() override;
    std::optional<std::string> SpecialFolderPath(int csidl) override;
    // The configured result of the path (letter case ignored), else of its
    // extension, else kOpenedResult for an existing file and 2 (file not found)
    // for anything else. Every call is recorded.
    std::intptr_t OpenWithShell(std::string_view path) override;

    // Sets (or, with nothing, removes) the folder the shell reports for a number.
    void SetSpecialFolder(int csidl, std::optional<std::string> path);
    void SetShellLinkSupport(ShellLinkSupport support) { linkSupport_ = support; }
    // The result for a full path, or for every file of an extension given with
    // its dot (".txt"); nothing returns to the default.
    void SetOpenResult(std::string_view pathOrExtension, std::optional<std::intptr_t> result);
    const std::vector<ShellOpenCall>& OpenCalls() const { return openCalls_; }

  private:
    FileSystem& files_;
    std::map<int, std::string> folders_;
    ShellLinkSupport linkSupport_ = ShellLinkSupport::Available;
    std::map<std::string, std::intptr_t> openResults_;  // upper-cased path or extension
    std::vector<ShellOpenCall> openCalls_;
};

}  // namespace setup::platform::posix
