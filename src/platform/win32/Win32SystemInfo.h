// System folders, the kind of Windows, the clock and the program's own path.
#pragma once

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32SystemInfo final : public SystemInfo {
  public:
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
    bool IsWindowsNT() override;
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::string ProgramPath() override;
    std::uint32_t SystemColor(int index) override;
    std::string FormatShortDate(const CalendarTime& time) override;
    std::string FormatLongTime(const CalendarTime& time) override;
    int CompareText(std::string_view a, std::string_view b) override;
};

}  // namespace setup::platform::win32
