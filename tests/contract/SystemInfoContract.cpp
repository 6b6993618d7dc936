// What the system information must deliver alike on Windows and in the emulation.
#include <gtest/gtest.h>

#include <string>

#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

bool IsFullFolderPath(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\' && path.back() != '\\';
}

TEST(SystemInfoContract, WindowsAndSystemFoldersExist) {
    auto env = MakeTestEnvironment();
    auto& system = env->Os().System();
    auto& files = env->Os().Files();
    for (const std::string& folder : {system.WindowsFolder(), system.SystemFolder()}) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(IsFullFolderPath(folder));
        EXPECT_LT(folder.size(), 260u);
        const std::uint32_t attributes = files.GetAttributes(folder);
        ASSERT_NE(attributes, platform::attr::kInvalid);
        EXPECT_NE(attributes & platform::attr::kDirectory, 0u);
    }
    // The system folder lies in the Windows folder.
    EXPECT_TRUE(system.SystemFolder().starts_with(system.WindowsFolder() + "\\"));
}

TEST(SystemInfoContract, ReportsAnNtSystemAndAProgramPath) {
    auto env = MakeTestEnvironment();
    auto& system = env->Os().System();
    EXPECT_TRUE(system.IsWindowsNT());
    const std::string program = system.ProgramPath();
    EXPECT_TRUE(program.size() > 3 && program[1] == ':' && program[2] == '\\') << program;
}

TEST(SystemInfoContract, SleepLetsTheTickCountAdvance) {
    auto env = MakeTestEnvironment();
    auto& system = env->Os().System();
    const std::uint32_t before = system.TickCount();
    system.Sleep(100);
    const std::uint32_t elapsed = system.TickCount() - before;
    // The real tick count moves in steps of about 16 ms.
    EXPECT_GE(elapsed, 80u);
    EXPECT_LT(elapsed, 5000u);
}

// The user's formats differ between systems; what is fixed is that every part of
// the date and of the time is there.
TEST(SystemInfoContract, FormatsDatesAndTimes) {
    auto env = MakeTestEnvironment();
    auto& system = env->Os().System();
    const platform::CalendarTime time{2031, 11, 27, 18, 45, 56};
    const std::string date = system.FormatShortDate(time);
    EXPECT_NE(date.find("27"), std::string::npos) << date;
    EXPECT_NE(date.find("11"), std::string::npos) << date;
    EXPECT_NE(date.find("31"), std::string::npos) << date;
    const std::string clock = system.FormatLongTime(time);
    EXPECT_NE(clock.find("45"), std::string::npos) << clock;
    EXPECT_NE(clock.find("56"), std::string::npos) << clock;
    EXPECT_TRUE(clock.find("18") != std::string::npos || clock.find("6") != std::string::npos)
        << clock;
}

// Names in the order a sorted list box shows them: case ignored, umlauts with
// their base letter, "\xDF" as "ss", digits compared one by one, blanks before
// digits before letters, hyphens only counted when all else is alike. Each must sort before the
// next, and alike with itself.
TEST(SystemInfoContract, ComparesTextsInTheListBoxOrder) {
    auto env = MakeTestEnvironment();
    auto& system = env->Os().System();
    const std::string ordered[] = {
        "1 Basis",
        "10 Hilfe",
        "2 Extras",
        "Abc",
        "\xC4nderungen",
        "Anleitung",
        "Daten",
        "Datenbank",
        "Daten-Import",
        "Ma\xDF"
        "e",
        "Masse und Gewichte",
        "\xD6l",
        "Ordner",
        "Treiber",
        "\xDC"
        "bersetzungen",
        "Uhr",
        "Zusatz",
    };
    for (std::size_t i = 0; i + 1 < std::size(ordered); ++i) {
        SCOPED_TRACE(ordered[i] + " / " + ordered[i + 1]);
        EXPECT_LT(system.CompareText(ordered[i], ordered[i + 1]), 0);
        EXPECT_GT(system.CompareText(ordered[i + 1], ordered[i]), 0);
        EXPECT_EQ(system.CompareText(ordered[i], ordered[i]), 0);
    }
    // Letter case alone makes no difference; an accent does.
    EXPECT_EQ(system.CompareText("\xFC"
                                 "bersetzungen",
                                 "\xDC"
                                 "BERSETZUNGEN"),
              0);
    EXPECT_EQ(system.CompareText("treiber", "TREIBER"), 0);
    EXPECT_NE(system.CompareText("\xDC"
                                 "ber",
                                 "Uber"),
              0);
}

}  // namespace
}  // namespace setup::testing
