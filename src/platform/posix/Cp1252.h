// Text conversion between the emulated system's Windows-1252 and the host's UTF-8,
// used where names cross from the emulated file system to the host's.
//
// The characters are those of base/Windows1252.h, so every byte string survives
// the round trip. Host text that is not valid
// UTF-8, or holds a character Windows-1252 can't express, becomes "?" per byte or
// character: such a name can be listed but not opened by its listed name.
#pragma once

#include <string>
#include <string_view>

#include "base/Windows1252.h"

namespace setup::platform::posix {

std::string Cp1252ToUtf8(std::string_view text);

std::string Utf8ToCp1252(std::string_view text);

// UTF-16 little-endian bytes (no byte-order mark) and UTF-8, both ways; an unpaired
// surrogate or invalid UTF-8 becomes U+FFFD, a trailing odd byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);
std::string Utf8ToUtf16Le(std::string_view text);

// The file system's case folding (FoldCase1252, EqualsFolded1252) is in
// base/Windows1252.h.

}  // namespace setup::platform::posix
