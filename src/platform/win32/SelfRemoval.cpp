#include "platform/win32/SelfRemoval.h"

#include "platform/win32/WinApi.h"

#include <charconv>
#include <cstdint>

#include "platform/win32/Handles.h"

namespace setup::platform::win32 {
namespace {

std::string OwnPath() {
    std::string path(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    path.resize(length < MAX_PATH ? length : 0);
    return path;
}

// The remover's copy in the temporary folder: deleted again unless it was started.
class RemoverCopy {
  public:
    RemoverCopy(const std::string& folder, const std::string& self) {
        std::string name(MAX_PATH, '\0');
        if (folder.empty() || GetTempFileNameA(folder.c_str(), "dei", 0, name.data()) == 0) {
            return;
        }
        name.resize(std::string_view(name.c_str()).size());
        path_ = name;
        copied_ = CopyFileA(self.c_str(), path_.c_str(), FALSE) != FALSE;
    }
    ~RemoverCopy() {
        if (!path_.empty() && !started_) {
            DeleteFileA(path_.c_str());
        }
    }
    RemoverCopy(const RemoverCopy&) = delete;
    RemoverCopy& operator=(const RemoverCopy&) = delete;

    bool Copied() const { return copied_; }
    const std::string& Path() const { return path_; }
    void Started() { started_ = true; }

  private:
    std::string path_;
    bool copied_ = false;
    bool started_ = false;
};

}  // namespace

void StartRemoverCopy(const std::string& self) {
    std::string folder(MAX_PATH + 1, '\0');
    folder.resize(GetTempPathA(MAX_PATH + 1, folder.data()));
    RemoverCopy copy(folder, self);
    if (!copy.Copied()) {
        return;
    }
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &duplicate,
                         SYNCHRONIZE, TRUE, 0)) {
        return;
    }
    const ProcessHandle me(duplicate);
    std::string commandLine = "\"" + copy.Path() + "\" " + std::string(kRemoveOriginalArgument) +
                              " " + std::to_string(reinterpret_cast<std::uintptr_t>(me.Get())) +
                              " \"" + self + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (CreateProcessA(copy.Path().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.c_str(), &startup, &started)) {
        const ProcessHandle thread(started.hThread);
        const ProcessHandle process(started.hProcess);
        copy.Started();
    }
}

int RemoveOriginal(std::string_view waitFor, const std::string& original) {
    std::uintptr_t value = 0;
    std::from_chars(waitFor.data(), waitFor.data() + waitFor.size(), value);
    if (value != 0) {
        const ProcessHandle process(reinterpret_cast<HANDLE>(value));
        WaitForSingleObject(process.Get(), 30000);
    }
    for (int attempt = 0; attempt < 50 && !DeleteFileA(original.c_str()) &&
                          GetFileAttributesA(original.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++attempt) {
        Sleep(100);
    }
    MoveFileExA(OwnPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}

}  // namespace setup::platform::win32
