// The thread functions the static C++ runtime calls; linked into Setup.exe only.
//
// With the posix thread model, the runtime's exception support calls eight
// pthread functions: the unwinder (once, and a mutex around its table of
// registered frames), the emergency exception pool (a mutex) and the emulated
// thread-local storage that holds each thread's exception state (once, a mutex
// and a key). The static winpthread library that provides them brings its whole
// thread, condition and read-write-lock code along, about 32 KB of Setup.exe.
//
// Setup.exe is therefore linked with -no-pthread, and these small versions on
// Win32 primitives stand in: a runtime function that needs more of the pthread
// API then fails the link with an undefined reference instead of quietly
// bringing winpthread back. They stay correct with several threads:
//  - once and mutexes are spin locks on atomic operations; the runtime holds its
//    mutexes only around a few table updates, and the program's code runs on the
//    window thread, so nobody ever waits for long;
//  - no condition: Windows targets are built with -fno-threadsafe-statics (the
//    product initialises its function-local statics on one thread), so the
//    runtime's guard code that waits on one is never linked;
//  - a key is a Win32 TLS slot. Its destructor is not called when a thread ends:
//    the runtime uses one key, for each thread's block of thread-local variables,
//    which a thread that ends before the process then leaves allocated.
#include <pthread.h>

#include <atomic>
#include <cerrno>

#include "platform/win32/WinApi.h"

namespace {

// Mutex words: pthread_mutex_init sets kUnlocked; a statically initialised
// mutex holds PTHREAD_MUTEX_INITIALIZER, which is unlocked as well.
constexpr pthread_mutex_t kUnlocked = 0;
constexpr pthread_mutex_t kLocked = 1;
static_assert(PTHREAD_MUTEX_INITIALIZER != kLocked);

// States of a pthread_once_t.
constexpr pthread_once_t kNotRun = PTHREAD_ONCE_INIT;
constexpr pthread_once_t kRunning = kNotRun + 1;
constexpr pthread_once_t kDone = kNotRun + 2;

}  // namespace

extern "C" {

int pthread_once(pthread_once_t* once, void (*init)(void)) {
    std::atomic_ref<pthread_once_t> state(*once);
    pthread_once_t expected = kNotRun;
    if (state.compare_exchange_strong(expected, kRunning)) {
        init();
        state.store(kDone);
    } else {
        while (state.load() != kDone) {
            Sleep(0);
        }
    }
    return 0;
}

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* /*attributes*/) {
    *mutex = kUnlocked;
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* /*mutex*/) {
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    std::atomic_ref<pthread_mutex_t> word(*mutex);
    while (word.exchange(kLocked, std::memory_order_acquire) == kLocked) {
        Sleep(0);
    }
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    std::atomic_ref<pthread_mutex_t>(*mutex).store(kUnlocked, std::memory_order_release);
    return 0;
}

int pthread_key_create(pthread_key_t* key, void (* /*destructor*/)(void*)) {
    const DWORD slot = TlsAlloc();
    if (slot == TLS_OUT_OF_INDEXES) {
        return EAGAIN;
    }
    *key = slot;
    return 0;
}

// TlsGetValue clears the thread's last error. The runtime reads its thread-local
// state in the middle of a throw or catch, which must not change what
// GetLastError() tells the code around it; winpthread keeps it too.
void* pthread_getspecific(pthread_key_t key) {
    const DWORD lastError = GetLastError();
    void* value = TlsGetValue(key);
    SetLastError(lastError);
    return value;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
    return TlsSetValue(key, const_cast<void*>(value)) ? 0 : ENOMEM;
}

}  // extern "C"
