#include "install/OverwriteQuestion.h"

#include "app/MainForm.h"
#include "platform/Os.h"
#include "system/PathHelpers.h"

namespace setup::install {
namespace {

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string DescribeDosDateTime(std::uint32_t dosDateTime) {
    platform::CalendarTime time;
    time.second = static_cast<std::uint16_t>((dosDateTime & 0x1F) * 2);
    time.minute = static_cast<std::uint16_t>((dosDateTime >> 5) & 0x3F);
    time.hour = static_cast<std::uint16_t>((dosDateTime >> 11) & 0x1F);
    time.day = static_cast<std::uint16_t>((dosDateTime >> 16) & 0x1F);
    time.month = static_cast<std::uint16_t>((dosDateTime >> 21) & 0x0F);
    time.year = static_cast<std::uint16_t>(1980 + (dosDateTime >> 25));

    const bool validDate = time.month >= 1 && time.month <= 12 && time.day >= 1 &&
                           time.day <= DaysInMonth(time.year, time.month);
    const bool validTime = time.hour < 24 && time.minute < 60 && time.second < 60;
    const bool midnight = time.hour == 0 && time.minute == 0 && time.second == 0;

    auto& system = platform::CurrentOs().System();
    std::string text;
    if (validDate) {
        text = system.FormatShortDate(time);
    }
    // Without a date the time is all there is to show, midnight or not.
    if (validTime && (!midnight || !validDate)) {
        text += (text.empty() ? "" : " ") + system.FormatLongTime(time);
    }
    return text.empty() ? std::string("(unbekannt)") : text;
}

std::string OverwriteQuestionText(std::string_view existing, std::string_view existingDate,
                                  std::string_view newName, std::string_view newDate) {
    std::string text = "Soll die existierende Datei\r\n";
    text.append(existing).append(" vom ").append(existingDate).append("\r\r\n");
    text.append("mit dieser Datei\r\n");
    text.append(newName).append(" vom ").append(newDate).append("\r\r\n");
    return text + " \374berschrieben werden?";
}

}  // namespace setup::install

namespace setup::app {

int TMainForm::AskOverwrite(std::string_view existing, std::string_view newName,
                            std::uint32_t newDate) {
    const auto existingDate = static_cast<std::uint32_t>(FileDateOf(existing));
    const std::string text =
        install::OverwriteQuestionText(existing, install::DescribeDosDateTime(existingDate),
                                       newName, install::DescribeDosDateTime(newDate));
    return MessageDlg(text, DialogKind::Confirmation,
                      kButtonYes | kButtonNo | kButtonCancel | kButtonAll);
}

}  // namespace setup::app
