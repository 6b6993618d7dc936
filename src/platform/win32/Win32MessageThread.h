// The window thread's pending messages (handed to the thread's dialog filter,
// see MessageLoop.h) and the keyboard state.
#pragma once

#include "platform/win32/WinApi.h"

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32MessageThread final : public MessageThread {
  public:
    void PumpMessages() override;
    bool IsKeyDown(int virtualKey) override;
};

}  // namespace setup::platform::win32
