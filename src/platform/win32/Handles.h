// Owning wrappers for the kernel and registry handles the seam hands out, so that
// every path out of a function (early return, exception) closes them.
#pragma once

#include "platform/win32/WinApi.h"

#include <utility>

namespace setup::platform::win32 {

// Owns one handle of type T; `invalid` is the value that means "none", `close`
// releases a valid one.
template <typename T, auto Invalid, auto Close>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T Get() const { return value_; }
    bool Valid() const { return value_ != Invalid(); }
    explicit operator bool() const { return Valid(); }
    T Release() { return std::exchange(value_, Invalid()); }
    // Closes the owned handle; reports whether closing succeeded (true when none).
    bool Reset(T value = Invalid()) {
        bool ok = true;
        if (Valid()) {
            ok = Close(value_);
        }
        value_ = value;
        return ok;
    }

  private:
    T value_ = Invalid();
};

namespace detail {
inline HANDLE InvalidHandle() {
    return INVALID_HANDLE_VALUE;
}
inline HANDLE NullHandle() {
    return nullptr;
}
inline HKEY NullKey() {
    return nullptr;
}
inline HMODULE NullModule() {
    return nullptr;
}
inline bool CloseFile(HANDLE h) {
    return CloseHandle(h) != FALSE;
}
inline bool CloseFind(HANDLE h) {
    return FindClose(h) != FALSE;
}
inline bool CloseKey(HKEY k) {
    return RegCloseKey(k) == ERROR_SUCCESS;
}
inline bool ReleaseModule(HMODULE m) {
    return FreeLibrary(m) != FALSE;
}
}  // namespace detail

// A file handle from CreateFileA (INVALID_HANDLE_VALUE when none).
using FileHandle = UniqueResource<HANDLE, detail::InvalidHandle, detail::CloseFile>;
// A search handle from FindFirstFileA.
using FindHandle = UniqueResource<HANDLE, detail::InvalidHandle, detail::CloseFind>;
// An open registry key.
using KeyHandle = UniqueResource<HKEY, detail::NullKey, detail::CloseKey>;
// A process or thread handle from CreateProcessA or DuplicateHandle (null when none).
using ProcessHandle = UniqueResource<HANDLE, detail::NullHandle, detail::CloseFile>;
// A module loaded with LoadLibrary.
using ModuleHandle = UniqueResource<HMODULE, detail::NullModule, detail::ReleaseModule>;

}  // namespace setup::platform::win32
