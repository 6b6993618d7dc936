// Test entry point. On Windows it turns off the system's error pop-ups, so that a
// crashing or failing test reports on the console instead of waiting for a click.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <crtdbg.h>
#include <windows.h>
#include <cstdlib>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#if defined(_MSC_VER) || defined(_UCRT)
    // The MinGW runtime's msvcrt.dll has no such switch (and shows no box on abort).
    _set_abort_behavior(0, _WRITE_ABORT_MSG | _CALL_REPORTFAULT);
#endif
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
