#include "platform/posix/PosixMessageThread.h"

namespace setup::platform::posix {

void PosixMessageThread::PumpMessages() {
    if (!hook_ || pumping_) {
        return;
    }
    pumping_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{pumping_};
    // A copy, so that the hook may replace itself.
    const std::function<void()> hook = hook_;
    hook();
}

void PosixMessageThread::SetKeyDown(int virtualKey, bool down) {
    if (down) {
        keysDown_.insert(virtualKey);
    } else {
        keysDown_.erase(virtualKey);
    }
}

}  // namespace setup::platform::posix
