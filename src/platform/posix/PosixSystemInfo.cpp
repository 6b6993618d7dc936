#include "platform/posix/PosixSystemInfo.h"

#include <cerrno>
#include <ctime>

namespace setup::platform::posix {

std::uint32_t PosixSystemInfo::TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000;
    // Wraps after 49.7 days like GetTickCount.
    return static_cast<std::uint32_t>(milliseconds + offset_);
}

void PosixSystemInfo::Sleep(std::uint32_t milliseconds) {
    if (settings_.fastSleep) {
        AdvanceTicks(milliseconds);
        return;
    }
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1'000'000};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

}  // namespace setup::platform::posix
