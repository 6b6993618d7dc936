// Text conversion between the emulated system's Windows-1252 and the host's UTF-8,
// used where names cross from the emulated file system to the host's.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control characters of the same number, as Windows itself converts
// them, so every byte string survives the round trip. Host text that is not valid
// UTF-8, or holds a character Windows-1252 can't express, becomes "?" per byte or
// character: such a name can be listed but not opened by its listed name.
#pragma once

#include <string>
#include <string_view>

namespace setup::platform::posix {

std::string Cp1252ToUtf8(std::string_view text);

// One character: its Unicode code point, and back ('?' when Windows-1252 has none).
char32_t Cp1252ToCodePoint(unsigned char byte);
char CodePointToCp1252(char32_t codePoint);
std::string Utf8ToCp1252(std::string_view text);

// Upper case of a Windows-1252 character for comparisons without regard to case, as
// the file system makes them: besides A-Z also the accented letters (ä/Ä, š/Š, ÿ/Ÿ).
char FoldCase1252(char c);
bool EqualsFolded1252(std::string_view a, std::string_view b);

}  // namespace setup::platform::posix
