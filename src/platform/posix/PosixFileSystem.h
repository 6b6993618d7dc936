// The emulated system's files and folders on top of the host's, through PathMapper.
//
// Read-only is enforced here rather than left to the host's permissions, because a
// process running as the host's administrator may write to any file: opening for
// writing, deleting, replacing by a copy and replacing by a move all fail on a
// read-only file, as on Windows.
#pragma once

#include <map>

#include "base/AsciiText.h"
#include "platform/Os.h"
#include "platform/posix/PathMapper.h"

namespace setup::platform::posix {

class PosixFileSystem final : public FileSystem {
  public:
    explicit PosixFileSystem(PathMapper& paths) : paths_(paths) {}

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
    // The emulated program does not hold its own file: deleted at once.
    bool DeleteWhenUnused(std::string_view path) override;
    std::string GetCurrentFolder() override;
    bool SetCurrentFolder(std::string_view path) override;
    std::unique_ptr<File> Open(std::string_view path, OpenMode mode) override;
    // A mapped drive is Fixed unless set otherwise; a letter without a folder has no root.
    DriveType DriveTypeOf(char letter) override;

    void SetDriveType(char letter, DriveType type) { driveTypes_[AsciiUpperChar(letter)] = type; }

  private:
    PathMapper& paths_;
    std::map<char, DriveType> driveTypes_;
};

}  // namespace setup::platform::posix
