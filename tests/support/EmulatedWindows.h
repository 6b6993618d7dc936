// An emulated Windows system for native test suites: a fresh temporary root, a
// PosixOs on it with fast sleeps (drive C: and the installation medium as drive D:),
// installed as the current system for the object's lifetime; the root is removed
// afterwards. Helpers put host files in place and read them back by Windows path.
// Native suites only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Os.h"
#include "platform/posix/PosixOs.h"

namespace setup::testing {

// A fresh folder under the host's temporary folder, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

class EmulatedWindows {
  public:
    static constexpr char kMediumDrive = 'D';

    EmulatedWindows();
    // With changes to the default configuration; its root is always the temporary one.
    explicit EmulatedWindows(platform::PosixOsConfig config);
    EmulatedWindows(const EmulatedWindows&) = delete;
    EmulatedWindows& operator=(const EmulatedWindows&) = delete;

    static platform::PosixOsConfig DefaultConfig();

    platform::PosixOs& Os() { return *os_; }
    const std::filesystem::path& Root() const { return root_.Path(); }
    // The host folder behind drive D:.
    std::filesystem::path MediumFolder() const { return Root() / "medium"; }

    // The host path of a Windows path; fails the test (and throws) when it has none.
    std::filesystem::path HostPath(std::string_view windowsPath) const;
    // Writes the bytes to the file, creating its folders.
    void WriteFile(std::string_view windowsPath, std::string_view bytes);
    // The file's bytes; empty when it can't be read.
    std::string ReadFile(std::string_view windowsPath) const;
    bool Exists(std::string_view windowsPath) const;
    void MakeFolder(std::string_view windowsPath);

  private:
    TemporaryFolder root_;
    std::unique_ptr<platform::PosixOs> os_;
    std::unique_ptr<platform::ScopedOs> installed_;
};

}  // namespace setup::testing
