// The system as Uninstall.exe needs it: files, registry, system information and
// the message thread over the real Windows APIs. The uninstaller reads its log as
// one file and makes no shortcuts, so the profile functions and the shell are
// left out of the program (they would cost some kilobytes of its size budget):
// they answer as a system that has neither.
#pragma once

#include "platform/win32/WinApi.h"

#include "platform/Os.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MessageThread.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace setup::uninstall {

class NoProfiles final : public platform::ProfileFiles {
  public:
    std::string ReadString(std::string_view, std::string_view, std::string_view,
                           std::string_view defaultValue, std::size_t maxChars) override;
    std::vector<std::string> ListKeys(std::string_view, std::string_view) override { return {}; }
    std::vector<std::string> ListSections(std::string_view) override { return {}; }
    bool WriteString(std::string_view, std::string_view, std::string_view,
                     std::string_view) override {
        return false;
    }
    bool EraseSection(std::string_view, std::string_view) override { return false; }
};

class NoShell final : public platform::Shell {
  public:
    // A link object that could not be created.
    std::unique_ptr<platform::ShellLinkObject> CreateShellLink() override;
    std::optional<std::string> SpecialFolderPath(int) override { return std::nullopt; }
    std::intptr_t OpenWithShell(std::string_view) override { return 0; }
};

class UninstallerOs final : public platform::Os {
  public:
    platform::ProfileFiles& Profiles() override { return profiles_; }
    platform::Registry& Reg() override { return registry_; }
    platform::FileSystem& Files() override { return files_; }
    platform::SystemInfo& System() override { return system_; }
    platform::MessageThread& Thread() override { return thread_; }
    platform::Shell& ShellServices() override { return shell_; }

  private:
    NoProfiles profiles_;
    platform::win32::Win32Registry registry_;
    platform::win32::Win32FileSystem files_;
    platform::win32::Win32SystemInfo system_;
    platform::win32::Win32MessageThread thread_;
    NoShell shell_;
};

}  // namespace setup::uninstall
