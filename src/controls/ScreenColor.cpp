#include "controls/ScreenColor.h"

#include "platform/Os.h"

namespace setup::controls {

TColor ColorToRgb(TColor color) {
    if (IsSystemColor(color)) {
        return platform::CurrentOs().System().SystemColor(static_cast<int>(color & 0xFF)) &
               0xFFFFFF;
    }
    return color & 0xFFFFFF;
}

}  // namespace setup::controls
