// What the shell's special folders must be alike on Windows and in the emulation.
#include <gtest/gtest.h>

#include <string>

#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

namespace csidl = platform::csidl;

TEST(ShellContract, UserFoldersExistWithoutTrailingBackslash) {
    auto env = MakeTestEnvironment();
    auto& shell = env->Os().ShellServices();
    for (int number : {csidl::kPrograms, csidl::kFavorites, csidl::kStartup, csidl::kSendTo,
                       csidl::kStartMenu, csidl::kDesktopDirectory}) {
        SCOPED_TRACE(number);
        auto path = shell.SpecialFolderPath(number);
        ASSERT_TRUE(path.has_value());
        ASSERT_GE(path->size(), 3u);
        EXPECT_EQ((*path)[1], ':');
        EXPECT_NE(path->back(), '\\');
        const std::uint32_t attributes = env->Os().Files().GetAttributes(*path);
        ASSERT_NE(attributes, platform::attr::kInvalid);
        EXPECT_NE(attributes & platform::attr::kDirectory, 0u);
    }
}

TEST(ShellContract, StartMenuHoldsProgramsWhichHoldStartup) {
    auto env = MakeTestEnvironment();
    auto& shell = env->Os().ShellServices();
    const std::string startMenu = shell.SpecialFolderPath(csidl::kStartMenu).value_or("?");
    const std::string programs = shell.SpecialFolderPath(csidl::kPrograms).value_or("?");
    const std::string startup = shell.SpecialFolderPath(csidl::kStartup).value_or("?");
    EXPECT_TRUE(programs.starts_with(startMenu + "\\")) << programs;
    EXPECT_TRUE(startup.starts_with(programs + "\\")) << startup;
}

TEST(ShellContract, OpeningAMissingFileReportsFileNotFound) {
    auto env = MakeTestEnvironment();
    const std::string missing = env->ScratchFolder() + "\\Fehlt.txt";
    EXPECT_EQ(env->Os().ShellServices().OpenWithShell(missing), 2);
}

}  // namespace
}  // namespace setup::testing
