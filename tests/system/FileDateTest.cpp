#include <gtest/gtest.h>

#include "platform/Os.h"
#include "support/EmulatedWindows.h"
#include "system/PathHelpers.h"

namespace setup {
namespace {

// 2001-02-03 04:05:06 as an MS-DOS date and time.
constexpr std::uint32_t kDosTime =
    ((2001 - 1980) << 25) | (2 << 21) | (3 << 16) | (4 << 11) | (5 << 5) | (6 / 2);

TEST(FileDate, ReportsTheFirstMatchingFileInDosFormat) {
    testing::EmulatedWindows windows;
    auto& files = windows.Os().Files();
    windows.WriteFile("C:\\Ziel\\Datei.txt", "inhalt");
    ASSERT_TRUE(files.SetLastWriteDos("C:\\Ziel\\Datei.txt", kDosTime));
    windows.MakeFolder("C:\\Ziel\\Ordner");

    EXPECT_EQ(FileDateOf("C:\\Ziel\\Datei.txt"), static_cast<std::int32_t>(kDosTime));
    EXPECT_EQ(FileDateOf("c:\\ziel\\DATEI.TXT"), static_cast<std::int32_t>(kDosTime));
    EXPECT_EQ(FileDateOf("C:\\Ziel\\D*.t?t"), static_cast<std::int32_t>(kDosTime));
    EXPECT_TRUE(IsExistingFile("C:\\Ziel\\Datei.txt"));

    EXPECT_EQ(FileDateOf("C:\\Ziel\\Ordner"), -1);
    EXPECT_FALSE(IsExistingFile("C:\\Ziel\\Ordner"));
    EXPECT_FALSE(IsExistingFile("C:\\Ziel\\fehlt.txt"));
    EXPECT_FALSE(IsExistingFile("C:\\fehlt\\Datei.txt"));
}

TEST(FileDate, TimesBefore1980AreNotExistingFiles) {
    testing::EmulatedWindows windows;
    windows.WriteFile("C:\\alt.txt", "x");
    auto host = windows.HostPath("C:\\alt.txt");
    std::filesystem::last_write_time(
        host, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 60));
    EXPECT_EQ(FileDateOf("C:\\alt.txt"), -1);
    EXPECT_FALSE(IsExistingFile("C:\\alt.txt"));
}

}  // namespace
}  // namespace setup
