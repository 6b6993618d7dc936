// The version of a program file as the existing-installation check compares it.
#pragma once

#include <string>
#include <string_view>

#include "base/PeVersionReader.h"

namespace setup::app {

// True when the file has version information; `numbers` then holds its four
// numbers (zeros when its fixed part can't be read).
bool ReadFileVersion(std::string_view path, VersionNumbers& numbers);

// Major "." minor, then release and build with no separator ("2.105" for
// 2.1.0.5); empty when the file has no version information.
std::string FileVersionString(std::string_view path);

}  // namespace setup::app
