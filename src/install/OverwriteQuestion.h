// The question before an existing file is replaced, and how it shows file dates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace setup::install {

// An MS-DOS date and time (date in the high 16 bits) in the user's short date and
// long time format, separated by a blank. The time is left out at exactly
// midnight. A part that is no valid calendar date or clock time is left out;
// when neither is valid the text is "(unbekannt)".
std::string DescribeDosDateTime(std::uint32_t dosDateTime);

// The text of the overwrite question, dates already described.
std::string OverwriteQuestionText(std::string_view existing, std::string_view existingDate,
                                  std::string_view newName, std::string_view newDate);

}  // namespace setup::install
