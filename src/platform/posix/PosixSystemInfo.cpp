#include "platform/posix/PosixSystemInfo.h"

#include "platform/posix/TextCollation.h"

#include <cerrno>
#include <ctime>
#include <string>

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

namespace {

void AppendTwoDigits(std::string& text, unsigned value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string PosixSystemInfo::FormatShortDate(const CalendarTime& time) {
    std::string text;
    AppendTwoDigits(text, time.day);
    text += '.';
    AppendTwoDigits(text, time.month);
    text += '.';
    AppendTwoDigits(text, time.year / 100u);
    AppendTwoDigits(text, time.year % 100u);
    return text;
}

std::string PosixSystemInfo::FormatLongTime(const CalendarTime& time) {
    std::string text;
    AppendTwoDigits(text, time.hour);
    text += ':';
    AppendTwoDigits(text, time.minute);
    text += ':';
    AppendTwoDigits(text, time.second);
    return text;
}

}  // namespace setup::platform::posix

namespace setup::platform::posix {

int PosixSystemInfo::CompareText(std::string_view a, std::string_view b) {
    return CompareCollated(a, b);
}

}  // namespace setup::platform::posix
