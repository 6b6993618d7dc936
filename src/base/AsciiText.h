// Letter case of the program's text: only A-Z and a-z change, as everywhere in
// the installer (accented letters keep their case). Header-only, so that every
// layer, the seam's implementations included, uses the same rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace setup {

constexpr char AsciiUpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
constexpr char AsciiLowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline std::string AsciiUpper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = AsciiUpperChar(c);
    }
    return result;
}

inline std::string AsciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = AsciiLowerChar(c);
    }
    return result;
}

// Equal after `fold` maps each character to the form in which two compare equal.
template <typename Fold>
constexpr bool EqualsFolded(std::string_view a, std::string_view b, Fold fold) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

// Equal but for the case of A-Z.
constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
    return EqualsFolded(a, b, AsciiUpperChar);
}

// `text` begins with `prefix` but for the case of A-Z.
inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace setup
