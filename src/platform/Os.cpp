#include "platform/Os.h"

#include <cstdio>
#include <cstdlib>

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

Os* SetCurrentOs(Os* os) {
    Os* previous = g_current;
    g_current = os;
    return previous;
}

}  // namespace setup::platform
