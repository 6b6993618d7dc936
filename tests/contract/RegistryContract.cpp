// What the registry functions must do alike on Windows and in the emulation.
#include <gtest/gtest.h>

#include <string>

#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

using platform::RegQueryStatus;
using platform::RegRoot;
using platform::RegType;

class RegistryContract : public ::testing::TestWithParam<RegRoot> {
  protected:
    void SetUp() override {
        env_ = MakeTestEnvironment();
        key_ = env_->ScratchRegistryKey();
    }
    platform::Registry& Reg() { return env_->Os().Reg(); }

    std::unique_ptr<TestEnvironment> env_;
    std::string key_;
};

INSTANTIATE_TEST_SUITE_P(Roots, RegistryContract,
                         ::testing::Values(RegRoot::LocalMachine, RegRoot::ClassesRoot),
                         [](const auto& param) {
                             return param.param == RegRoot::LocalMachine ? "LocalMachine"
                                                                         : "ClassesRoot";
                         });

TEST_P(RegistryContract, OpenNeverCreates) {
    const std::string missing = key_ + "\\Fehlt";
    EXPECT_EQ(Reg().Open(GetParam(), missing), nullptr);
    EXPECT_EQ(Reg().Open(GetParam(), missing), nullptr);  // still not there
}

// The registry step reads the previous file type's key by name; an empty name is
// the root itself, which always opens.
TEST_P(RegistryContract, EmptyPathOpensTheRoot) {
    EXPECT_NE(Reg().Open(GetParam(), ""), nullptr);
}

TEST_P(RegistryContract, CreateMakesTheKeyWithItsParents) {
    auto created = Reg().Create(GetParam(), key_ + "\\Eins\\Zwei");
    ASSERT_NE(created, nullptr);
    EXPECT_NE(Reg().Open(GetParam(), key_ + "\\Eins"), nullptr);
    EXPECT_NE(Reg().Open(GetParam(), key_ + "\\eins\\ZWEI"), nullptr);  // names ignore case
    // Creating an existing key opens it.
    EXPECT_NE(Reg().Create(GetParam(), key_ + "\\Eins\\Zwei"), nullptr);
}

TEST_P(RegistryContract, StringsAreStoredWithTheirNulAndQueriedByName) {
    auto key = Reg().Create(GetParam(), key_ + "\\Werte");
    ASSERT_NE(key, nullptr);
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"", "Standardwert"},  // the key's default value
        {"DisplayName", "Beispiel 1.0"},
        {"UninstallString", "C:\\WINDOWS\\Uninst.exe \"C:\\WINDOWS\\Uninstall Beispiel.ini\""},
        {"Leer", ""},
        {"Umlaut", "Größe"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(key->SetString(c.name, c.value)) << c.name;
    }
    // Read back through a key opened anew.
    auto reopened = Reg().Open(GetParam(), key_ + "\\Werte");
    ASSERT_NE(reopened, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::RegValue value = reopened->Query(c.name);
        EXPECT_EQ(value.status, RegQueryStatus::Ok);
        EXPECT_EQ(value.type, RegType::String);
        EXPECT_EQ(value.data, std::string(c.value) + '\0');
    }
    EXPECT_EQ(reopened->Query("displayname").data, std::string("Beispiel 1.0") + '\0');
    EXPECT_EQ(reopened->Query("Fehlt").status, RegQueryStatus::Missing);

    ASSERT_TRUE(key->SetString("DisplayName", "Beispiel 2.0"));  // replaces
    EXPECT_EQ(reopened->Query("DisplayName").data, std::string("Beispiel 2.0") + '\0');
}

TEST_P(RegistryContract, ValuesAndKeysAreDeletedOnlyWhereThatIsSafe) {
    ASSERT_NE(Reg().Create(GetParam(), key_ + "\\Typ\\shell\\open\\command"), nullptr);
    auto type = Reg().Open(GetParam(), key_ + "\\Typ");
    ASSERT_NE(type, nullptr);
    ASSERT_TRUE(type->SetString("", "Beschreibung"));
    ASSERT_TRUE(type->SetString("Extra", "x"));
    EXPECT_FALSE(type->IsEmpty());

    EXPECT_TRUE(type->DeleteValue("EXTRA"));   // names ignore case
    EXPECT_FALSE(type->DeleteValue("Extra"));  // gone
    EXPECT_EQ(type->Query("Extra").status, RegQueryStatus::Missing);
    EXPECT_TRUE(type->DeleteValue(""));  // the default value
    EXPECT_EQ(type->Query("").status, RegQueryStatus::Missing);
    EXPECT_FALSE(type->IsEmpty());  // it still has a subkey
    EXPECT_TRUE(type->HasSubKeys());
    type.reset();

    struct Case {
        const char* key;
        bool succeeds;
    };
    const Case cases[] = {
        {"\\Typ", false},  // has subkeys
        {"\\Typ\\shell", false},
        {"\\Fehlt", false},                      // missing
        {"\\typ\\SHELL\\open\\command", true},   // a leaf, in any case
        {"\\Typ\\shell\\open\\command", false},  // gone
        {"\\Typ\\shell\\open", true},
        {"\\Typ\\shell", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Reg().DeleteKey(GetParam(), key_ + c.key), c.succeeds) << c.key;
    }
    auto emptied = Reg().Open(GetParam(), key_ + "\\Typ");
    ASSERT_NE(emptied, nullptr);
    EXPECT_TRUE(emptied->IsEmpty());
    EXPECT_FALSE(emptied->HasSubKeys());
    emptied.reset();
    EXPECT_TRUE(Reg().DeleteKey(GetParam(), key_ + "\\Typ"));
    EXPECT_EQ(Reg().Open(GetParam(), key_ + "\\Typ"), nullptr);
}

TEST(RegistryContractSystem, CurrentVersionFoldersAreStrings) {
    auto env = MakeTestEnvironment();
    auto key =
        env->Os().Reg().Open(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    ASSERT_NE(key, nullptr);
    for (const char* name : {"ProgramFilesDir", "CommonFilesDir"}) {
        const platform::RegValue value = key->Query(name);
        ASSERT_EQ(value.status, RegQueryStatus::Ok) << name;
        EXPECT_TRUE(value.type == RegType::String || value.type == RegType::ExpandString) << name;
        EXPECT_GT(value.data.size(), 3u) << name;
    }
}

}  // namespace
}  // namespace setup::testing
