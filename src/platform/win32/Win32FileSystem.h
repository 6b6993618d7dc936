// Files and folders through the ANSI file APIs (FindFirstFileA, CopyFileA,
// CreateFileA, ...), the FILETIME / MS-DOS time conversions, and file versions
// through the system's version library.
#pragma once

#include "platform/Os.h"

namespace setup::platform::win32 {

class Win32FileSystem final : public FileSystem {
  public:
    std::optional<FoundEntry> FindFirst(std::string_view pattern) override;
    std::uint32_t GetAttributes(std::string_view path) override;
    bool SetAttributes(std::string_view path, std::uint32_t attributes) override;
    std::optional<std::uint32_t> ToLocalDosDateTime(FileTime time) override;
    bool SetLastWriteDos(std::string_view path, std::uint32_t dosDateTime) override;
    bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
    bool MoveFile(std::string_view from, std::string_view to, bool replaceExisting) override;
    bool DeleteFile(std::string_view path) override;
    bool CreateFolder(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override;
    std::vector<FoundEntry> ListFolder(std::string_view folder) override;
    // A running program's file can't be deleted: it is then marked for deletion
    // at the next start of the system (MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT,
    // which needs administrator rights on NT).
    bool DeleteWhenUnused(std::string_view path) override;
    std::string GetCurrentFolder() override;
    bool SetCurrentFolder(std::string_view path) override;
    std::unique_ptr<File> Open(std::string_view path, OpenMode mode) override;
    // GetDriveTypeA of "X:\"; an answer beyond the known ones is Unknown.
    DriveType DriveTypeOf(char letter) override;
    // GetFileVersionInfoA and VerQueryValueA of version.dll, loaded from the system
    // folder for the call; the portable reader when that library can't be loaded.
    std::optional<std::array<std::uint16_t, 4>> ReadFileVersion(std::string_view path) override;
};

}  // namespace setup::platform::win32
