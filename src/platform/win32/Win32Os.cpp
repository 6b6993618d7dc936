#include "platform/win32/Win32Os.h"

namespace setup::platform::win32 {
namespace {
// At namespace scope rather than as a function's static: a guarded local static
// would link the thread library's locks into the program for nothing.
Win32Os g_processOs;
}  // namespace

Win32Os& ProcessOs() {
    return g_processOs;
}

}  // namespace setup::platform::win32
