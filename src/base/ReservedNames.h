// Names Windows does not treat as plain file names.
#pragma once

#include <string_view>

namespace setup {

// True for a path component that Windows opens as a device instead of a file:
// CON, PRN, AUX, NUL, the console's CONIN$ and CONOUT$, COM1-COM9 and LPT1-LPT9
// (also with the superscript digits 1, 2 and 3), in any letter case, alone or
// followed by an extension ("nul.txt", "Com1.tar.gz") or by blanks before it
// ("AUX .txt").
bool IsDosDeviceName(std::string_view component);

// True when the text holds a character below 32, which no Windows file name may hold.
bool HasControlCharacter(std::string_view text);

}  // namespace setup
