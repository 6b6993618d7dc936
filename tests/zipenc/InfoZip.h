// Runs Info-ZIP's unzip on archives written to a scratch folder. unzip is the
// independent judge of the test encoders: what it extracts without complaint is
// valid data of the method.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace setup::zipenc::testing {

inline constexpr const char* kUnzip = "/usr/bin/unzip";

bool InfoZipAvailable();

struct CommandResult {
    int exitCode = -1;
    std::vector<std::uint8_t> output;  // standard output only
    std::string Text() const { return {output.begin(), output.end()}; }
};

// Runs a shell command and captures its standard output.
CommandResult RunCommand(const std::string& command);

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes `bytes` to a file in the folder and returns its path.
    std::filesystem::path Write(const std::string& fileName, std::span<const std::uint8_t> bytes);

  private:
    std::filesystem::path path_;
};

// `unzip -t -q`: exit code and combined messages.
CommandResult TestArchive(const std::filesystem::path& archive);
// `unzip -p`: the bytes of one entry.
CommandResult ExtractEntry(const std::filesystem::path& archive, const std::string& name);

}  // namespace setup::zipenc::testing
