// <windows.h> for the seam's implementation. The header maps names such as
// CopyFile to the ANSI or wide function by macro; the seam uses those names for
// its own methods, so the macros go. Code here calls the ...A functions by name.
#pragma once

#include <windows.h>

#undef CopyFile
#undef MoveFile
#undef DeleteFile
