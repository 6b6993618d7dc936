#include "platform/Os.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace setup::platform {
namespace {
Os* g_current = nullptr;
}  // namespace

Os& CurrentOs() {
    if (g_current == nullptr) {
        std::fputs("no operating-system implementation installed\n", stderr);
        std::abort();
    }
    return *g_current;
}

std::uint32_t SystemInfo::SystemColor(int index) {
    // 0x00BBGGRR by COLOR_* index: scroll bar, desktop, active and inactive
    // caption, menu, window, window frame, menu text, window text, caption text,
    // active and inactive border, application work space, highlight, highlight
    // text, button face, button shadow, grey text, button text, inactive caption
    // text, button highlight, 3-D dark shadow, 3-D light, tool-tip text and
    // background, (unused), hot light, the two caption gradients, menu highlight
    // and menu bar.
    static constexpr std::uint32_t kClassic[] = {
        0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
        0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,
        0xE1FFFF, 0xC0C0C0, 0xFF0000, 0xD08410, 0xB5B5B5, 0x800000, 0xC0C0C0,
    };
    if (index < 0 || static_cast<std::size_t>(index) >= std::size(kClassic)) {
        return 0;
    }
    return kClassic[static_cast<std::size_t>(index)];
}

bool File::SetAttributes(std::uint32_t /*attributes*/) {
    return false;
}

DriveType FileSystem::DriveTypeOf(char /*letter*/) {
    return DriveType::Fixed;
}

Os* SetCurrentOs(Os* os) {
    Os* previous = g_current;
    g_current = os;
    return previous;
}

}  // namespace setup::platform
