// The order in which the emulated system sorts Windows-1252 texts, as the user's
// locale does for list boxes: letter case ignored, accented letters with their
// base letter ("Ü" beside "U", "ß" as "ss"), blanks and punctuation before
// digits before letters; hyphens and apostrophes only count when the texts are
// otherwise alike.
#pragma once

#include <string_view>

namespace setup::platform::posix {

// Below zero, zero or above zero as a sorts before, like or after b.
int CompareCollated(std::string_view a, std::string_view b);

}  // namespace setup::platform::posix
