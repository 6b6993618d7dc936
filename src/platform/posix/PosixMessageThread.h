// The emulated window thread: no real messages, but a hook that a headless run or a
// test sets to fire its scripted events whenever the logic lets messages through,
// and a keyboard whose keys are held down by the caller.
#pragma once

#include <functional>
#include <set>

#include "platform/Os.h"

namespace setup::platform::posix {

class PosixMessageThread final : public MessageThread {
  public:
    // Calls the hook. A hook whose events pump messages again is not re-entered:
    // the inner call returns at once, as a nested pump finds the queue empty.
    void PumpMessages() override;
    bool IsKeyDown(int virtualKey) override { return keysDown_.contains(virtualKey); }

    void SetPumpHook(std::function<void()> hook) { hook_ = std::move(hook); }
    void SetKeyDown(int virtualKey, bool down);

  private:
    std::function<void()> hook_;
    bool pumping_ = false;
    std::set<int> keysDown_;
};

}  // namespace setup::platform::posix
