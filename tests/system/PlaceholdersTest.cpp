#include <gtest/gtest.h>

#include "support/EmulatedWindows.h"
#include "system/Error.h"
#include "system/Placeholders.h"
#include "system/SystemFolders.h"

namespace setup {
namespace {

using platform::RegRoot;
using platform::RegType;
constexpr std::string_view kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class PlaceholdersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& os = windows_.Os();
        os.SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "ProgramFilesDir",
                             "C:\\Programme");
        os.SetSpecialFolder(platform::csidl::kPrograms, "C:\\Start\\Programme");
        os.SetSpecialFolder(platform::csidl::kDesktopDirectory, std::nullopt);
    }
    std::string Expand(std::string_view text, std::string_view installFolder = "C:\\Prog\\",
                       std::string_view group = "") {
        return ExpandPlaceholders(text, installFolder, group);
    }
    testing::EmulatedWindows windows_;
};

TEST_F(PlaceholdersTest, ReplacesTheFirstTokenWhereItStands) {
    struct Case {
        const char* text;
        const char* installFolder;
        const char* group;
        const char* expected;
    };
    const Case cases[] = {
        {"@@INSTDIR@@bin\\", "C:\\Prog\\", "", "C:\\Prog\\bin\\"},
        {"@@INSTDIR@@bin\\", "", "", "bin\\"},
        {"@@windir@@Fonts\\", "", "", "C:\\WINDOWS\\Fonts\\"},
        {"@@SysDir@@x.dll", "", "", "C:\\WINDOWS\\SYSTEM32\\x.dll"},
        {"@@PRGDIR@@Firma\\", "", "", "C:\\Programme\\Firma\\"},
        {"C:\\Daten\\", "", "", "C:\\Daten\\"},
        {"C:\\a@@b", "", "", "C:\\a@@b"},
        {"@@UNBEKANNT@@x", "", "", "x"},
        {"@@WINDIR@@@@SYSDIR@@", "", "", "C:\\WINDOWS\\@@SYSDIR@@"},
        {"D:\\@@PROGRAMS@@", "", "", "D:\\C:\\Start\\Programme\\"},
        {"@@DESKTOP@@x", "", "", "@@DESKTOP@@x"},
        {"@@desktop@@x", "", "", "@@desktop@@x"},
        {"@@PRGGRP@@", "", "", ""},
        {"@@PRGGRP@@a.lnk", "", "Gruppe\\", "Gruppe\\a.lnk"},
        {"@@INSTDIR@@", "@@WINDIR@@", "", "@@WINDIR@@"},
        {"@@@@", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Expand(c.text, c.installFolder, c.group), c.expected);
    }
}

TEST_F(PlaceholdersTest, RegistryFoldersFollowTheirValues) {
    auto& os = windows_.Os();
    os.RemoveRegistryValue(RegRoot::LocalMachine, kCurrentVersion, "ConfigPath");
    EXPECT_EQ(Expand("@@CONFIG@@"), "");
    EXPECT_EQ(Expand("@@CONFIG@@x"), "x");

    os.SetRegistryValue(RegRoot::LocalMachine, kCurrentVersion, "MediaPath", RegType::ExpandString,
                        std::string_view("%SystemRoot%\\Media\0", 20));
    EXPECT_EQ(Expand("@@MEDIA@@"), "%SystemRoot%\\Media\\");

    os.SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "DevicePath", "");
    EXPECT_EQ(CurrentVersionFolder("DevicePath"), "");

    os.RemoveRegistryKey(RegRoot::LocalMachine, kCurrentVersion);
    EXPECT_EQ(Expand("@@PRGDIR@@Firma\\"), "Firma\\");
}

TEST_F(PlaceholdersTest, WrongTypeOrUnreadableDataEndsTheActionWithItsMessage) {
    auto& os = windows_.Os();
    os.SetRegistryNumber(RegRoot::LocalMachine, kCurrentVersion, "CommonFilesDir", 5);
    try {
        Expand("@@COMMON@@");
        FAIL() << "expected an error";
    } catch (const SetupError& error) {
        EXPECT_EQ(error.Message(), "Ungültiger Datentyp für 'CommonFilesDir'");
    }
    os.SetRegistryValueUnreadable(RegRoot::LocalMachine, kCurrentVersion, "ProgramFilesDir", true);
    try {
        Expand("@@PRGDIR@@");
        FAIL() << "expected an error";
    } catch (const SetupError& error) {
        EXPECT_EQ(error.Message(), "Konnte Daten für 'ProgramFilesDir' nicht holen");
    }
    // Only the token found is looked up: other registry trouble stays unseen.
    EXPECT_EQ(Expand("@@WINDIR@@"), "C:\\WINDOWS\\");
}

TEST_F(PlaceholdersTest, LookupsAreNotCached) {
    EXPECT_EQ(Expand("@@PROGRAMS@@"), "C:\\Start\\Programme\\");
    windows_.Os().SetSpecialFolder(platform::csidl::kPrograms, "C:\\Anders");
    EXPECT_EQ(Expand("@@PROGRAMS@@"), "C:\\Anders\\");
}

}  // namespace
}  // namespace setup
