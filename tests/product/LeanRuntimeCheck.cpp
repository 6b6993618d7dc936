// Checks the runtime replacements Setup.exe is linked with (LeanRuntime.cpp and
// LeanThreads.cpp, without winpthread), run under Windows as a program of its
// own: GoogleTest itself needs more of the pthread API than Setup.exe does.
// Linking this program already proves that the replacements cover every thread
// function the runtime's exception support calls; running it proves they work:
// exceptions thrown and caught on several threads at once, thread-local storage,
// once and mutexes under contention, and the error code a throw leaves alone.
// Prints one line per check; exits non-zero when one failed.
#include <pthread.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/win32/Handles.h"
#include "system/Error.h"

namespace {

using setup::SetupError;
using ThreadHandle =
    setup::platform::win32::UniqueResource<HANDLE, setup::platform::win32::detail::NullHandle,
                                           setup::platform::win32::detail::CloseFile>;

constexpr int kThreads = 4;

template <typename Body>
struct ThreadStart {
    Body* body;
    int index;
};

template <typename Body>
DWORD WINAPI ThreadMain(void* parameter) {
    auto* start = static_cast<ThreadStart<Body>*>(parameter);
    (*start->body)(start->index);
    return 0;
}

// Runs `body(index)` on kThreads threads at once; false when one could not start.
template <typename Body>
bool OnThreads(Body body) {
    ThreadStart<Body> starts[kThreads];
    ThreadHandle threads[kThreads];
    HANDLE raw[kThreads];
    for (int i = 0; i < kThreads; ++i) {
        starts[i] = {&body, i};
        threads[i] = ThreadHandle(
            CreateThread(nullptr, 0, ThreadMain<Body>, &starts[i], CREATE_SUSPENDED, nullptr));
        if (!threads[i]) {
            return false;
        }
        raw[i] = threads[i].Get();
    }
    for (HANDLE thread : raw) {
        ResumeThread(thread);
    }
    return WaitForMultipleObjects(kThreads, raw, TRUE, 60000) == WAIT_OBJECT_0;
}

// Counts the destructors that unwinding ran.
struct Guard {
    int& count;
    ~Guard() { ++count; }
};

void ThrowFrom(int depth, int& unwound) {
    Guard guard{unwound};
    if (depth == 0) {
        throw SetupError("Das Verzeichnis kann nicht erstellt werden");
    }
    ThrowFrom(depth - 1, unwound);
}

// A SetupError thrown 20 frames down; true when it arrived with its text and
// every frame's destructor ran.
bool ThrowAndCatch() {
    int unwound = 0;
    try {
        ThrowFrom(19, unwound);
    } catch (const SetupError& error) {
        return unwound == 20 && error.Message() == "Das Verzeichnis kann nicht erstellt werden";
    }
    return false;
}

bool ErrorCrossesFrames() {
    return ThrowAndCatch();
}

bool LibraryErrorIsStdException() {
    const std::string text = "abc";
    volatile std::size_t index = 5;
    try {
        return text.at(index) == 'x';  // throws
    } catch (const std::exception& error) {
        return error.what()[0] != '\0';
    }
}

bool ThrowKeepsLastError() {
    SetLastError(1234);
    try {
        throw SetupError("Fehler");
    } catch (const SetupError&) {
        if (GetLastError() != 1234) {
            return false;
        }
    }
    return GetLastError() == 1234;
}

thread_local int t_counter = 0;

bool ThreadLocalPerThread() {
    t_counter = 7;
    std::atomic<int> wrong{0};
    const bool ran = OnThreads([&wrong](int index) {
        if (t_counter != 0) {
            ++wrong;
        }
        for (int i = 0; i <= index * 100; ++i) {
            ++t_counter;
        }
        if (t_counter != index * 100 + 1) {
            ++wrong;
        }
    });
    return ran && wrong == 0 && t_counter == 7;
}

bool ExceptionsOnThreads() {
    std::atomic<int> failures{0};
    const bool ran = OnThreads([&failures](int) {
        for (int i = 0; i < 500; ++i) {
            if (!ThrowAndCatch()) {
                ++failures;
            }
        }
    });
    return ran && failures == 0;
}

pthread_once_t g_once = PTHREAD_ONCE_INIT;
std::atomic<int> g_onceRuns{0};
std::atomic<bool> g_onceDone{false};

bool OnceRunsOnce() {
    std::atomic<int> early{0};
    const bool ran = OnThreads([&early](int) {
        pthread_once(&g_once, [] {
            ++g_onceRuns;
            Sleep(50);  // the other threads arrive while it runs
            g_onceDone = true;
        });
        if (!g_onceDone) {
            ++early;  // returned before the function had finished
        }
    });
    return ran && g_onceRuns == 1 && early == 0;
}

pthread_mutex_t g_staticMutex = PTHREAD_MUTEX_INITIALIZER;

bool MutexExcludes() {
    pthread_mutex_t initialised;
    pthread_mutex_init(&initialised, nullptr);
    int counts[2] = {0, 0};  // plain ints: only the mutexes protect them
    const bool ran = OnThreads([&](int) {
        for (int i = 0; i < 20000; ++i) {
            pthread_mutex_t* mutex = i % 2 == 0 ? &g_staticMutex : &initialised;
            pthread_mutex_lock(mutex);
            const int seen = counts[i % 2];
            if (i % 64 == 0) {
                Sleep(0);  // give up the processor while holding the lock
            }
            counts[i % 2] = seen + 1;
            pthread_mutex_unlock(mutex);
        }
    });
    pthread_mutex_destroy(&initialised);
    return ran && counts[0] == kThreads * 10000 && counts[1] == kThreads * 10000;
}

struct Check {
    const char* name;
    bool (*run)();
};

constexpr Check kChecks[] = {
    {"setup-error-crosses-frames", ErrorCrossesFrames},
    {"library-error-is-std-exception", LibraryErrorIsStdException},
    {"throw-keeps-last-error", ThrowKeepsLastError},
    {"thread-local-per-thread", ThreadLocalPerThread},
    {"exceptions-on-threads", ExceptionsOnThreads},
    {"once-runs-once", OnceRunsOnce},
    {"mutex-excludes", MutexExcludes},
};

}  // namespace

int main() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    int failed = 0;
    for (const Check& check : kChecks) {
        bool ok = false;
        try {
            ok = check.run();
        } catch (...) {
        }
        std::printf("%s %s\n", ok ? "PASS" : "FAIL", check.name);
        failed += ok ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}
