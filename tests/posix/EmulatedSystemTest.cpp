// The emulated shell folders and system information that tests and the simulator set.
#include <gtest/gtest.h>

#include "support/EmulatedWindows.h"

namespace setup::testing {
namespace {

namespace csidl = platform::csidl;

TEST(EmulatedShell, PresetsGermanFoldersAndLetsTestsRemoveThem) {
    EmulatedWindows windows;
    auto& shell = windows.Os().ShellServices();
    EXPECT_EQ(shell.SpecialFolderPath(csidl::kPrograms), "C:\\WINDOWS\\Startmenü\\Programme");
    EXPECT_EQ(shell.SpecialFolderPath(csidl::kStartup),
              "C:\\WINDOWS\\Startmenü\\Programme\\Autostart");
    EXPECT_TRUE(std::filesystem::is_directory(windows.Root() / "c" / "WINDOWS" / u8"Startmenü"));
    // The drives folder has no file-system path.
    EXPECT_FALSE(shell.SpecialFolderPath(csidl::kDrives).has_value());

    windows.Os().SetSpecialFolder(csidl::kDesktopDirectory, std::nullopt);
    EXPECT_FALSE(shell.SpecialFolderPath(csidl::kDesktopDirectory).has_value());
    windows.Os().SetSpecialFolder(csidl::kDesktopDirectory, "D:\\Desk");
    EXPECT_EQ(shell.SpecialFolderPath(csidl::kDesktopDirectory), "D:\\Desk");
}

TEST(EmulatedSystem, SettingsAndTheVirtualClock) {
    platform::PosixOsConfig config = EmulatedWindows::DefaultConfig();
    config.windowsFolder = "C:\\WINNT";
    config.systemFolder = "C:\\WINNT\\system32";
    config.windowsNT = false;
    EmulatedWindows windows(config);
    auto& system = windows.Os().System();
    EXPECT_EQ(system.WindowsFolder(), "C:\\WINNT");
    EXPECT_TRUE(windows.Exists("C:\\winnt\\SYSTEM32"));
    EXPECT_FALSE(system.IsWindowsNT());
    windows.Os().SetWindowsNT(true);
    EXPECT_TRUE(system.IsWindowsNT());
    EXPECT_EQ(system.ProgramPath(), "D:\\SETUP.EXE");
    windows.Os().SetProgramPath("E:\\Install\\Setup.exe");
    EXPECT_EQ(system.ProgramPath(), "E:\\Install\\Setup.exe");

    // Fast sleeps move the clock on without waiting.
    const std::uint32_t before = system.TickCount();
    for (int i = 0; i < 100; ++i) {
        system.Sleep(1000);
    }
    windows.Os().AdvanceTicks(500);
    const std::uint32_t elapsed = system.TickCount() - before;
    EXPECT_GE(elapsed, 100'500u);
    EXPECT_LT(elapsed, 110'000u);
}

}  // namespace
}  // namespace setup::testing
