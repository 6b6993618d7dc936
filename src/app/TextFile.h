// Loading a text file for display, as a multi-line text box shows it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup::app {

// The file's text up to its first NUL character, with every line break (CR LF,
// a lone CR or a lone LF) written as CR LF. Nothing when the file can't be read.
std::optional<std::string> LoadTextFile(std::string_view path);

}  // namespace setup::app
