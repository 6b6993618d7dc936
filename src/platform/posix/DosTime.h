// Conversions between file times, host times and MS-DOS dates and times.
//
// Local time follows Windows: FileTimeToLocalFileTime and LocalFileTimeToFileTime
// apply the time zone's offset as it is now (daylight saving included), not the
// offset in force at the converted moment. Both directions use the same offset, so a
// date set from an MS-DOS value reads back as that value.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

#include "platform/Os.h"

namespace setup::platform::posix {

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);
timespec UnixFromFileTime(FileTime time);

// The host time zone's current offset from UTC in seconds (east positive).
std::int64_t CurrentLocalOffsetSeconds();

// FileTimeToDosDateTime: date in the high 16 bits, time in the low 16; seconds
// rounded down to even. Nothing outside the years 1980 to 2107.
std::optional<std::uint32_t> DosFromFileTime(FileTime time);
// DosDateTimeToFileTime: nothing for fields out of range (month 0, day 31 of a
// 30-day month, hour 24, 60 seconds, ...).
std::optional<FileTime> FileTimeFromDos(std::uint32_t dosDateTime);
// An MS-DOS date and time taken as local time, as a host time; nothing when the
// fields are out of range or the moment lies before 1601.
std::optional<timespec> UnixFromLocalDos(std::uint32_t dosDateTime);

}  // namespace setup::platform::posix
