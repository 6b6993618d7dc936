// The operating-system seam over the real Windows APIs.
#pragma once

#include "platform/win32/WinApi.h"

#include "platform/Os.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MessageThread.h"
#include "platform/win32/Win32Profiles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"

namespace setup::platform::win32 {

class Win32Os final : public Os {
  public:
    ProfileFiles& Profiles() override { return profiles_; }
    Registry& Reg() override { return registry_; }
    FileSystem& Files() override { return files_; }
    SystemInfo& System() override { return system_; }
    MessageThread& Thread() override { return thread_; }
    Shell& ShellServices() override { return shell_; }

  private:
    Win32Profiles profiles_;
    Win32Registry registry_;
    Win32FileSystem files_;
    Win32SystemInfo system_;
    Win32MessageThread thread_;
    Win32Shell shell_;
};

// The one instance of the process; it holds no resources, so it can live until exit.
Win32Os& ProcessOs();

}  // namespace setup::platform::win32
