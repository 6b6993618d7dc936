// The emulated registry: presets, persistence, and the failures tests arrange.
#include <gtest/gtest.h>

#include <fstream>

#include "support/EmulatedWindows.h"
#include "system/RegistryValues.h"

namespace setup::testing {
namespace {

using platform::RegQueryStatus;
using platform::RegRoot;
using platform::RegType;

constexpr char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::string Sz(std::string_view text) {
    return std::string(text) + '\0';
}

TEST(EmulatedRegistry, PresetsTheCurrentVersionFoldersAndCreatesThem) {
    EmulatedWindows windows;
    auto key = windows.Os().Reg().Open(RegRoot::LocalMachine,
                                       "software\\microsoft\\windows\\"
                                       "currentversion");
    ASSERT_NE(key, nullptr);
    const std::pair<const char*, const char*> presets[] = {
        {"ProgramFilesDir", "C:\\Programme"},
        {"CommonFilesDir", "C:\\Programme\\Gemeinsame Dateien"},
        {"ConfigPath", "C:\\WINDOWS\\CONFIG"},
        {"DevicePath", "C:\\WINDOWS\\INF"},
        {"MediaPath", "C:\\WINDOWS\\MEDIA"},
    };
    for (const auto& [name, folder] : presets) {
        const platform::RegValue value = key->Query(name);
        EXPECT_EQ(value.status, RegQueryStatus::Ok) << name;
        EXPECT_EQ(value.type, RegType::String) << name;
        EXPECT_EQ(value.data, Sz(folder)) << name;
        EXPECT_NE(windows.Os().Files().GetAttributes(folder) & platform::attr::kDirectory, 0u)
            << folder;
    }
    EXPECT_NE(windows.Os().Reg().Open(RegRoot::LocalMachine, kUninstallKey), nullptr);
}

TEST(EmulatedRegistry, ValuesPersistAcrossInstancesOnTheSameRoot) {
    TemporaryFolder root;
    platform::PosixOsConfig config;
    config.root = root.Path();
    {
        platform::PosixOs first(config);
        auto key = first.Reg().Create(RegRoot::ClassesRoot, ".bsp\\shell\\open\\command");
        ASSERT_NE(key, nullptr);
        ASSERT_TRUE(key->SetString("", "C:\\Prog\\Bsp.exe \"%1\""));
        ASSERT_TRUE(first.SetRegistryValue(RegRoot::LocalMachine, "Software\\Bsp", "Bin\"är]",
                                           RegType::Binary, std::string("\0\x01[%\xFF\n", 6)));
        ASSERT_TRUE(first.RemoveRegistryValue(RegRoot::LocalMachine, kCurrentVersion, "MediaPath"));
    }
    platform::PosixOs second(config);
    auto command = second.Reg().Open(RegRoot::ClassesRoot, ".BSP\\Shell\\Open\\Command");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->Query("").data, Sz("C:\\Prog\\Bsp.exe \"%1\""));
    auto binary = second.Reg().Open(RegRoot::LocalMachine, "software\\bsp");
    ASSERT_NE(binary, nullptr);
    const platform::RegValue value = binary->Query("bin\"äR]");
    EXPECT_EQ(value.type, RegType::Binary);
    EXPECT_EQ(value.data, std::string("\0\x01[%\xFF\n", 6));
    // A removed preset stays removed: presets are made only with a new registry.
    auto current = second.Reg().Open(RegRoot::LocalMachine, kCurrentVersion);
    EXPECT_EQ(current->Query("MediaPath").status, RegQueryStatus::Missing);
    EXPECT_EQ(current->Query("DevicePath").status, RegQueryStatus::Ok);
}

TEST(EmulatedRegistry, TestsCanArrangeMissingWrongAndUnreadableValues) {
    EmulatedWindows windows;
    auto& os = windows.Os();
    ASSERT_TRUE(os.SetRegistryNumber(RegRoot::LocalMachine, kCurrentVersion, "ConfigPath", 7));
    ASSERT_TRUE(os.SetRegistryValue(RegRoot::LocalMachine, kCurrentVersion, "MediaPath",
                                    RegType::ExpandString, Sz("%SystemRoot%\\Media")));
    ASSERT_TRUE(
        os.SetRegistryValueUnreadable(RegRoot::LocalMachine, kCurrentVersion, "DevicePath", true));
    ASSERT_TRUE(os.RemoveRegistryValue(RegRoot::LocalMachine, kCurrentVersion, "CommonFilesDir"));

    auto key = os.Reg().Open(RegRoot::LocalMachine, kCurrentVersion);
    ASSERT_NE(key, nullptr);
    struct Case {
        const char* name;
        RegQueryStatus status;
        RegType type;
        std::string data;
    };
    const Case cases[] = {
        {"ConfigPath", RegQueryStatus::Ok, RegType::Number, std::string("\x07\0\0\0", 4)},
        {"MediaPath", RegQueryStatus::Ok, RegType::ExpandString, Sz("%SystemRoot%\\Media")},
        {"DevicePath", RegQueryStatus::ReadFailed, RegType::String, ""},
        {"CommonFilesDir", RegQueryStatus::Missing, RegType::None, ""},
    };
    for (const Case& c : cases) {
        const platform::RegValue value = key->Query(c.name);
        EXPECT_EQ(value.status, c.status) << c.name;
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
    // Setting a value makes it readable again.
    ASSERT_TRUE(key->SetString("DevicePath", "C:\\INF"));
    EXPECT_EQ(key->Query("DevicePath").status, RegQueryStatus::Ok);

    ASSERT_TRUE(os.RemoveRegistryKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows"));
    EXPECT_EQ(os.Reg().Open(RegRoot::LocalMachine, kCurrentVersion), nullptr);
    EXPECT_NE(os.Reg().Open(RegRoot::LocalMachine, "SOFTWARE\\Microsoft"), nullptr);
    EXPECT_EQ(key->Query("DevicePath").status, RegQueryStatus::Missing);
    EXPECT_FALSE(key->SetString("DevicePath", "C:\\INF"));  // its key is gone
}

TEST(EmulatedRegistry, AReadOnlyRegistryOpensButRefusesChanges) {
    EmulatedWindows windows;
    windows.Os().SetRegistryReadOnly(true);
    auto& reg = windows.Os().Reg();
    EXPECT_EQ(reg.Create(RegRoot::ClassesRoot, ".neu"), nullptr);
    auto key = reg.Open(RegRoot::LocalMachine, kCurrentVersion);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Query("ProgramFilesDir").status, RegQueryStatus::Ok);
    EXPECT_FALSE(key->SetString("ProgramFilesDir", "D:\\"));
    windows.Os().SetRegistryReadOnly(false);
    EXPECT_NE(reg.Create(RegRoot::ClassesRoot, ".neu"), nullptr);
}

TEST(EmulatedRegistry, ADamagedFileLosesOnlyItsDamagedLines) {
    TemporaryFolder root;
    std::ofstream(root.Path() / "registry.txt") << "[HKEY_LOCAL_MACHINE\\Software\\A]\n"
                                                   "\"gut\"=1:\"ja%00\"\n"
                                                   "\"kaputt\"=1\"\n"
                                                   "Unsinn\n"
                                                   "\"auch gut\"=4:\"%01%00%00%00\"\n";
    platform::PosixOsConfig config;
    config.root = root.Path();
    platform::PosixOs os(config);
    auto key = os.Reg().Open(RegRoot::LocalMachine, "Software\\A");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Query("gut").data, Sz("ja"));
    EXPECT_EQ(key->Query("kaputt").status, RegQueryStatus::Missing);
    EXPECT_EQ(key->Query("auch gut").type, RegType::Number);
    // Not a new registry: no presets were added.
    EXPECT_EQ(os.Reg().Open(RegRoot::LocalMachine, kCurrentVersion), nullptr);
}

}  // namespace
}  // namespace setup::testing
