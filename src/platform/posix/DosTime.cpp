#include "platform/posix/DosTime.h"

namespace setup::platform::posix {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;
constexpr std::int64_t kSecondsPerDay = 86'400;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

unsigned DaysInMonth(std::int64_t year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    const std::int64_t ticks = (seconds + kUnixEpochSeconds) * kTicksPerSecond + nanoseconds / 100;
    return ticks < 0 ? 0 : static_cast<FileTime>(ticks);
}

timespec UnixFromFileTime(FileTime time) {
    const auto ticks = static_cast<std::int64_t>(time);
    timespec result{};
    result.tv_sec = static_cast<time_t>(ticks / kTicksPerSecond - kUnixEpochSeconds);
    result.tv_nsec = static_cast<long>((ticks % kTicksPerSecond) * 100);
    return result;
}

std::int64_t CurrentLocalOffsetSeconds() {
    const time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

std::optional<std::uint32_t> DosFromFileTime(FileTime time) {
    const std::int64_t seconds =
        static_cast<std::int64_t>(time / kTicksPerSecond) - kUnixEpochSeconds;
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
    const CivilDate date = CivilFromDays(days);
    if (date.year < 1980 || date.year > 2107) {
        return std::nullopt;
    }
    const auto hour = static_cast<std::uint32_t>(secondOfDay / 3600);
    const auto minute = static_cast<std::uint32_t>(secondOfDay / 60 % 60);
    const auto second = static_cast<std::uint32_t>(secondOfDay % 60);
    const std::uint32_t dosDate =
        (static_cast<std::uint32_t>(date.year - 1980) << 9) | (date.month << 5) | date.day;
    const std::uint32_t dosTime = (hour << 11) | (minute << 5) | (second / 2);
    return (dosDate << 16) | dosTime;
}

std::optional<FileTime> FileTimeFromDos(std::uint32_t dosDateTime) {
    const std::uint32_t dosDate = dosDateTime >> 16;
    const std::uint32_t dosTime = dosDateTime & 0xFFFF;
    const std::int64_t year = 1980 + (dosDate >> 9);
    const unsigned month = (dosDate >> 5) & 0x0F;
    const unsigned day = dosDate & 0x1F;
    const unsigned hour = dosTime >> 11;
    const unsigned minute = (dosTime >> 5) & 0x3F;
    const unsigned second = (dosTime & 0x1F) * 2;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59) {
        return std::nullopt;
    }
    const std::int64_t seconds =
        DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    return FileTimeFromUnix(seconds, 0);
}

std::optional<timespec> UnixFromLocalDos(std::uint32_t dosDateTime) {
    const auto local = FileTimeFromDos(dosDateTime);
    if (!local) {
        return std::nullopt;
    }
    const std::int64_t offset = CurrentLocalOffsetSeconds() * 10'000'000;
    const auto utc = static_cast<std::int64_t>(*local) - offset;
    if (utc < 0) {
        return std::nullopt;
    }
    return UnixFromFileTime(static_cast<FileTime>(utc));
}

}  // namespace setup::platform::posix
