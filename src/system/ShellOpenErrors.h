// The messages for the error returns of the shell's "open".
#pragma once

#include <cstdint>
#include <string_view>

namespace setup {

// The English text for a result of 32 or less; empty for a code without one.
std::string_view ShellOpenErrorText(std::intptr_t result);

}  // namespace setup
