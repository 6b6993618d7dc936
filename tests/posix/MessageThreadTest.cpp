// The emulated window thread: the pump hook and the keyboard.
#include <gtest/gtest.h>

#include "support/EmulatedWindows.h"

namespace setup::testing {
namespace {

TEST(EmulatedMessageThread, PumpCallsTheHookButNeverInsideItself) {
    EmulatedWindows windows;
    auto& thread = windows.Os().Thread();
    thread.PumpMessages();  // no hook: nothing happens

    int calls = 0;
    windows.Os().SetPumpHook([&] {
        ++calls;
        thread.PumpMessages();  // an event handler that pumps again
    });
    thread.PumpMessages();
    thread.PumpMessages();
    EXPECT_EQ(calls, 2);

    windows.Os().SetPumpHook({});
    thread.PumpMessages();
    EXPECT_EQ(calls, 2);
}

TEST(EmulatedMessageThread, KeysAreDownWhileHeld) {
    EmulatedWindows windows;
    constexpr int kEscape = 0x1B;
    auto& thread = windows.Os().Thread();
    EXPECT_FALSE(thread.IsKeyDown(kEscape));
    windows.Os().SetKeyDown(kEscape, true);
    EXPECT_TRUE(thread.IsKeyDown(kEscape));
    EXPECT_FALSE(thread.IsKeyDown(0x0D));
    windows.Os().SetKeyDown(kEscape, false);
    EXPECT_FALSE(thread.IsKeyDown(kEscape));
}

}  // namespace
}  // namespace setup::testing
