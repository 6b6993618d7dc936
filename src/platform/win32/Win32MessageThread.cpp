#include "platform/win32/Win32MessageThread.h"

#include "platform/win32/MessageLoop.h"

namespace setup::platform::win32 {

void Win32MessageThread::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The quit request belongs to the outer message loop, which would
            // otherwise never see it: put it back and let the current step return.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchThreadMessage(message);
    }
}

bool Win32MessageThread::IsKeyDown(int virtualKey) {
    // The high bit tells that the key is down now; the low bit only that it was
    // pressed since the last call, by any program.
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

}  // namespace setup::platform::win32
