// The window thread's message loops: the wizard's, the message dialog's and the
// pump that long steps run between their pieces. All of them hand each message to
// the thread's dialog filter first, the window whose keyboard navigation (Tab,
// Enter, Escape, "&" keys) IsDialogMessageA serves, then translate and dispatch it.
#pragma once

#include "platform/win32/WinApi.h"

namespace setup::platform::win32 {

// Makes `window` the thread's dialog filter (null: none) until the object goes;
// the one set before is put back then, so a modal dialog can take it for its run.
class ScopedDialogFilter {
  public:
    explicit ScopedDialogFilter(HWND window);
    ~ScopedDialogFilter();
    ScopedDialogFilter(const ScopedDialogFilter&) = delete;
    ScopedDialogFilter& operator=(const ScopedDialogFilter&) = delete;

  private:
    HWND previous_;
};

// One message of the thread: to the dialog filter, else translated and dispatched.
void DispatchThreadMessage(MSG& message);

enum class LoopEnd { Done, Quit, Failed };

// Waits for the thread's messages and dispatches them until `done(context)` holds
// (checked before each wait), the quit request arrives (its exit code in
// `exitCode`) or GetMessageA fails. `done` may be null: until the quit request.
LoopEnd RunThreadMessages(bool (*done)(void* context), void* context, int& exitCode);

}  // namespace setup::platform::win32
