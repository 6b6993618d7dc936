// Entry names that must not be extracted as they stand.
#pragma once

#include <string_view>

namespace setup::zip {

// False for a name (slashes already turned into "\") that would leave the target
// folder or address something other than a file in it: a leading "\" (the root, or
// a network path), a ":" (a drive letter, or an alternate data stream), a component
// made of dots and blanks with at least two dots ("..", and the forms Windows trims
// to it such as "... " or ". ."), a component that Windows opens as a device (CON,
// NUL, COM1, "lpt2.txt", ...), or a control character anywhere.
bool IsSafeEntryName(std::string_view name);

}  // namespace setup::zip
