// A DLL loaded by its full path in the system folder.
//
// Setup.exe is started from download folders and removable media, where a planted
// DLL beside it would otherwise be loaded in place of the system's. The program
// therefore imports only DLLs that Windows always takes from the system folder, and
// loads any other (version.dll, ...) through this class, never by bare name.
#pragma once

#include "platform/win32/WinApi.h"

#include <string_view>

#include "platform/win32/Handles.h"

namespace setup::platform::win32 {

// GetProcAddress with the function's real type. The detour through void (*)()
// tells the compiler that the cast between function types is intended.
template <typename Function>
Function* ProcAddress(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    using Generic = void (*)();
    return reinterpret_cast<Function*>(reinterpret_cast<Generic>(GetProcAddress(module, name)));
}

class SystemLibrary {
  public:
    // name: the DLL's file name, for example "version.dll".
    explicit SystemLibrary(std::string_view name);

    bool Loaded() const { return module_.Valid(); }
    HMODULE Module() const { return module_.Get(); }
    // Null when the library is not loaded or lacks the function.
    template <typename Function>
    Function* Find(const char* name) const {
        return ProcAddress<Function>(module_.Get(), name);
    }

  private:
    ModuleHandle module_;
};

}  // namespace setup::platform::win32
