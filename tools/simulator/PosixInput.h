// What a headless session needs of the emulated Windows beyond the seam, for the
// tools that run sessions on it (the simulator and "medium try"): the message
// pump and keys, medium changes, the shell's "open", shortcut files read back
// and the running program's path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/posix/PosixOs.h"
#include "ui/headless/Session.h"

namespace setup::simulator {

class PosixInput final : public ui::headless::SimulatedInput {
  public:
    // A medium change maps drive `drive` to a folder relative to the first
    // medium's folder (absolute paths as they are); with `convert` it is first
    // copied to a folder under `root` with its text converted (ConvertedCopy).
    PosixInput(platform::PosixOs& os, char drive, std::filesystem::path firstMedium,
               std::filesystem::path root, bool convert)
        : os_(os),
          drive_(drive),
          firstMedium_(std::move(firstMedium)),
          root_(std::move(root)),
          convert_(convert) {}

    void SetPumpHook(std::function<void()> hook) override { os_.SetPumpHook(std::move(hook)); }
    void SetKeyDown(int virtualKey, bool down) override { os_.SetKeyDown(virtualKey, down); }
    bool MapMedium(std::string_view folder) override;
    bool SetOpenResult(std::string_view pathOrExtension, std::intptr_t result) override {
        os_.SetOpenResult(pathOrExtension, result);
        return true;
    }
    std::vector<OpenCall> OpenCalls() const override;
    std::optional<Shortcut> ReadShortcut(std::string_view path) override;
    bool SetProgramPath(std::string_view path) override {
        os_.SetProgramPath(std::string(path));
        return true;
    }

  private:
    platform::PosixOs& os_;
    char drive_;
    std::filesystem::path firstMedium_;
    std::filesystem::path root_;
    bool convert_;
    int changes_ = 0;
};

// Copies the medium to `copy`, turning its UTF-8 text files (.ini, .txt, .csv)
// into Windows-1252 with CR LF line ends; returns `copy`.
std::filesystem::path ConvertedCopy(const std::filesystem::path& medium,
                                    const std::filesystem::path& copy);

}  // namespace setup::simulator
