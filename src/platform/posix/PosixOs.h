// An emulated Windows system rooted in a host folder, for the native build: the
// tests, the fuzz targets and the headless simulator run the installer's logic on it.
//
// Drive letters map to host folders (C: to <root>/c unless configured otherwise; an
// installation medium can be any folder mapped as its own drive). The Windows and
// system folders, the folders the registry names under
// "SOFTWARE\Microsoft\Windows\CurrentVersion" and the shell's special folders exist
// from construction on. The registry lives in a text file (by default
// <root>/registry.txt) and is preset when that file is first made.
//
// Beyond the Os interface, the setters below let a test or the simulator shape the
// system: the version, the keyboard, the message hook, the clock, special folders
// and registry values (also missing, of another type, or unreadable).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Os.h"
#include "platform/posix/PathMapper.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixMessageThread.h"
#include "platform/posix/PosixProfileFiles.h"
#include "platform/posix/PosixRegistry.h"
#include "platform/posix/PosixShell.h"
#include "platform/posix/PosixSystemInfo.h"
#include "platform/posix/RegistryStore.h"

namespace setup::platform {

struct PosixOsConfig {
    std::filesystem::path root;  // required; created when missing
    // Drive letter to host folder; C: defaults to <root>/c.
    std::map<char, std::filesystem::path> drives;
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\SYSTEM32";
    bool windowsNT = true;
    std::string programPath = "C:\\SETUP\\SETUP.EXE";
    // What GetDriveTypeA answers for a drive; a mapped drive not named here is Fixed.
    std::map<char, DriveType> driveTypes;
    std::filesystem::path registryFile;  // empty: <root>/registry.txt
    bool fastSleep = false;
    // Only the drives given: no drive C: under the root, no Windows folders, no
    // registry presets and no shell folders. For tools that need nothing but files.
    bool bare = false;
};

class PosixOs final : public Os {
  public:
    explicit PosixOs(PosixOsConfig config);

    ProfileFiles& Profiles() override { return profiles_; }
    Registry& Reg() override { return registry_; }
    FileSystem& Files() override { return files_; }
    SystemInfo& System() override { return system_; }
    MessageThread& Thread() override { return thread_; }
    Shell& ShellServices() override { return shell_; }

    const std::filesystem::path& Root() const { return root_; }
    void MapDrive(char letter, std::filesystem::path folder);
    // What the drive reports itself as (a network drive: DriveType::Remote).
    void SetDriveType(char letter, DriveType type) { files_.SetDriveType(letter, type); }
    // The host path behind a Windows path (existing names in their host spelling);
    // nothing when the drive is not mapped or the form is not supported.
    std::optional<std::filesystem::path> HostPath(std::string_view windowsPath) const;
    // Creates a folder and its missing parents; false when that fails.
    bool CreateFolders(std::string_view windowsPath);

    void SetWindowsNT(bool windowsNT) { system_.Settings().windowsNT = windowsNT; }
    void SetProgramPath(std::string path) { system_.Settings().programPath = std::move(path); }
    void SetFastSleep(bool fast) { system_.Settings().fastSleep = fast; }
    void AdvanceTicks(std::uint32_t milliseconds) { system_.AdvanceTicks(milliseconds); }
    void SetKeyDown(int virtualKey, bool down) { thread_.SetKeyDown(virtualKey, down); }
    // Called by every PumpMessages; an empty function removes the hook.
    void SetPumpHook(std::function<void()> hook) { thread_.SetPumpHook(std::move(hook)); }
    // Sets or (with nothing) removes a special folder; a set folder is not created.
    void SetSpecialFolder(int csidl, std::optional<std::string> path) {
        shell_.SetSpecialFolder(csidl, std::move(path));
    }
    // Takes the shell's link object away (or gives it back).
    void SetShellLinkSupport(posix::ShellLinkSupport support) {
        shell_.SetShellLinkSupport(support);
    }
    // The shell's "open": the result for a path or an extension (".txt"), and
    // every call made so far.
    void SetOpenResult(std::string_view pathOrExtension, std::optional<std::intptr_t> result) {
        shell_.SetOpenResult(pathOrExtension, result);
    }
    const std::vector<posix::ShellOpenCall>& ShellOpenCalls() const { return shell_.OpenCalls(); }

    // Registry values of any type; the key is created as needed.
    bool SetRegistryValue(RegRoot root, std::string_view key, std::string_view name, RegType type,
                          std::string_view data);
    bool SetRegistryString(RegRoot root, std::string_view key, std::string_view name,
                           std::string_view text);  // REG_SZ with its NUL
    bool SetRegistryNumber(RegRoot root, std::string_view key, std::string_view name,
                           std::uint32_t number);  // REG_DWORD, little-endian
    bool RemoveRegistryValue(RegRoot root, std::string_view key, std::string_view name);
    bool RemoveRegistryKey(RegRoot root, std::string_view key);
    // An unreadable value reports its size but fails to deliver its data.
    bool SetRegistryValueUnreadable(RegRoot root, std::string_view key, std::string_view name,
                                    bool unreadable);
    void SetRegistryReadOnly(bool readOnly) { registry_.SetReadOnly(readOnly); }

  private:
    void PresetRegistry();
    void PresetShellFolders();

    std::filesystem::path root_;
    posix::PathMapper paths_;
    posix::RegistryStore store_;
    posix::PosixProfileFiles profiles_;
    posix::PosixRegistry registry_;
    posix::PosixFileSystem files_;
    posix::PosixSystemInfo system_;
    posix::PosixMessageThread thread_;
    posix::PosixShell shell_;
};

}  // namespace setup::platform
