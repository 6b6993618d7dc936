#include "base/ReservedNames.h"

#include "base/AsciiText.h"

namespace setup {
namespace {

bool IsPortDigit(char c) {
    // 1-9, and the superscripts 1, 2, 3 of Windows-1252, which Windows maps to the same ports.
    return (c >= '1' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
}

}  // namespace

bool IsDosDeviceName(std::string_view component) {
    // Windows looks at the name before the first dot, without trailing blanks.
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);
    }
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (EqualsNoCase(base, device)) {
            return true;
        }
    }
    return base.size() == 4 && IsPortDigit(base[3]) &&
           (EqualsNoCase(base.substr(0, 3), "COM") || EqualsNoCase(base.substr(0, 3), "LPT"));
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 32) {
            return true;
        }
    }
    return false;
}

}  // namespace setup
