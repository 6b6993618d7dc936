// Profile (INI) files of the emulated system: IniText over host files.
//
// Files saved with a byte-order mark are read as UTF-8 or UTF-16 and written back
// so (ProfileEncoding). A file name without any folder separator names a file in the Windows
// folder, as with the real profile functions. Lists are never cut: all keys and sections are
// returned however long their names are.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/posix/PathMapper.h"

namespace setup::platform::posix {

class PosixProfileFiles final : public ProfileFiles {
  public:
    PosixProfileFiles(PathMapper& paths, std::string windowsFolder);
    ~PosixProfileFiles() override;

    std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t maxChars) override;
    std::vector<std::string> ListKeys(std::string_view file, std::string_view section) override;
    std::vector<std::string> ListSections(std::string_view file) override;
    bool WriteString(std::string_view file, std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool EraseSection(std::string_view file, std::string_view section) override;

  private:
    // The host file of a profile file name; `spelled` as in PathMapper::ToHost.
    std::optional<std::filesystem::path> HostFile(std::string_view file,
                                                  struct stat* spelled = nullptr) const;
    struct Parsed;
    struct Cached;
    std::shared_ptr<const Parsed> Load(std::string_view file) const;
    void Forget(const std::filesystem::path& host) const;

    PathMapper& paths_;
    std::string windowsFolder_;
    mutable std::vector<Cached> cache_;
};

}  // namespace setup::platform::posix
