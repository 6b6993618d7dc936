// Windows-1252, the program's text encoding, and Unicode.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control characters of the same number, as Windows itself converts
// them, so every byte has a code point and back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/AsciiText.h"

namespace setup {

char32_t Cp1252ToCodePoint(unsigned char byte);
// The byte of a code point; nothing when Windows-1252 has none.
std::optional<char> CodePointToCp1252(char32_t codePoint);

// Decodes one UTF-8 sequence at text[pos] and sets `length` to the bytes it takes.
// Nothing valid there (a stray continuation byte, a cut sequence, an overlong form,
// a surrogate, beyond U+10FFFF): nothing, with length 1.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t pos, std::size_t& length);

// A UTF-8 text in Windows-1252; nothing when it is not valid UTF-8 or holds a
// character that Windows-1252 can't express (never a "?" in its place).
std::optional<std::string> Utf8ToCp1252Exact(std::string_view text);

// Upper case of a Windows-1252 character for comparisons without regard to case, as
// the file system makes them: besides A-Z also the accented letters (ä/Ä, š/Š, ÿ/Ÿ).
constexpr char FoldCase1252(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
        return static_cast<char>(byte - 0x20);
    }
    switch (byte) {
        case 0x9A:  // š
        case 0x9C:  // œ
        case 0x9E:  // ž
            return static_cast<char>(byte - 0x10);
        case 0xFF:  // ÿ
            return static_cast<char>(0x9F);
        default:
            return c;
    }
}

constexpr bool EqualsFolded1252(std::string_view a, std::string_view b) {
    return EqualsFolded(a, b, FoldCase1252);
}

}  // namespace setup
