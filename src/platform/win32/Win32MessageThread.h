// The window thread's pending messages and the keyboard state.
#pragma once

#include "platform/win32/WinApi.h"

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32MessageThread final : public MessageThread {
  public:
    void PumpMessages() override;
    bool IsKeyDown(int virtualKey) override;

    // The modeless dialog whose keyboard navigation (Tab, Enter, Escape) the pump
    // serves through IsDialogMessageA; null for none.
    void SetActiveDialog(HWND dialog) { activeDialog_ = dialog; }

  private:
    HWND activeDialog_ = nullptr;
};

}  // namespace setup::platform::win32
