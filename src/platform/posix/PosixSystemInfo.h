// System information of the emulated system and the thread's clock.
//
// The tick count follows a monotonic host clock in milliseconds plus an offset that
// AdvanceTicks and fast sleeps add to. With fast sleeps, Sleep does not wait but
// moves the tick count on by the time asked for, so tests and simulated runs that
// pause (one second per file in test mode, ...) run at full speed.
#pragma once

#include "platform/Os.h"

namespace setup::platform::posix {

struct SystemSettings {
    std::string windowsFolder;
    std::string systemFolder;
    bool windowsNT = true;
    std::string programPath;
    bool fastSleep = false;
};

class PosixSystemInfo final : public SystemInfo {
  public:
    explicit PosixSystemInfo(SystemSettings settings) : settings_(std::move(settings)) {}

    std::string WindowsFolder() override { return settings_.windowsFolder; }
    std::string SystemFolder() override { return settings_.systemFolder; }
    bool IsWindowsNT() override { return settings_.windowsNT; }
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::string ProgramPath() override { return settings_.programPath; }
    // A German locale: dd.mm.yyyy and hh:mm:ss.
    std::string FormatShortDate(const CalendarTime& time) override;
    std::string FormatLongTime(const CalendarTime& time) override;
    // A German collation of Windows-1252 text (see TextCollation.h).
    int CompareText(std::string_view a, std::string_view b) override;

    SystemSettings& Settings() { return settings_; }
    void AdvanceTicks(std::uint32_t milliseconds) { offset_ += milliseconds; }

  private:
    SystemSettings settings_;
    std::uint64_t offset_ = 0;
};

}  // namespace setup::platform::posix
