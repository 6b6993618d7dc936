#include "platform/win32/MessageLoop.h"

namespace setup::platform::win32 {
namespace {

// The window thread is the program's only one that has windows.
HWND g_dialogFilter = nullptr;

}  // namespace

ScopedDialogFilter::ScopedDialogFilter(HWND window) : previous_(g_dialogFilter) {
    g_dialogFilter = window;
}

ScopedDialogFilter::~ScopedDialogFilter() {
    g_dialogFilter = previous_;
}

void DispatchThreadMessage(MSG& message) {
    if (g_dialogFilter != nullptr && IsWindow(g_dialogFilter) &&
        IsDialogMessageA(g_dialogFilter, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

LoopEnd RunThreadMessages(bool (*done)(void* context), void* context, int& exitCode) {
    MSG message{};
    while (done == nullptr || !done(context)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            return LoopEnd::Quit;
        }
        if (got < 0) {
            return LoopEnd::Failed;
        }
        DispatchThreadMessage(message);
    }
    return LoopEnd::Done;
}

}  // namespace setup::platform::win32
