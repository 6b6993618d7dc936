// The script as the medium carries it: Windows-1252 with CR LF line ends, from a
// source written in UTF-8 (with or without byte-order mark) or in Windows-1252,
// with LF, CR LF or CR line ends.
#pragma once

#include <string>
#include <string_view>

namespace setup::medium {

// The medium's form of the script `bytes`, or an error "NAME:LINE: TEXT" (NAME
// the file as the user gave it) for a character Windows-1252 has no form for,
// for a text that is no INI file at all (control characters, no section).
struct MediumScript {
    std::string text;
    std::string error;  // empty on success
};
MediumScript ScriptForMedium(std::string_view bytes, std::string_view name);

}  // namespace setup::medium
