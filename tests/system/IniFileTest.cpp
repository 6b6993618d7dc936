#include <gtest/gtest.h>

#include "support/EmulatedWindows.h"
#include "system/Error.h"
#include "system/IniFile.h"

namespace setup {
namespace {

class IniFileTest : public ::testing::Test {
  protected:
    IniFile Script(std::string_view content) {
        windows_.WriteFile("C:\\Medium\\Setup.ini", content);
        return IniFile("C:\\Medium\\Setup.ini");
    }
    testing::EmulatedWindows windows_;
};

TEST_F(IniFileTest, TypedReadsFallBackToTheirDefaults) {
    auto ini = Script(
        "[Update]\r\nAnbieten=ja\r\nA1=1\r\nA7=7\r\nNull=0\r\n"
        "[Infodatei]\r\nAnzeigen=0x2\r\nLeer=\r\nText= ' gequotet ' \r\n");
    EXPECT_FALSE(ini.ReadBool("Update", "Anbieten", false));
    EXPECT_TRUE(ini.ReadBool("Update", "Anbieten", true));
    EXPECT_TRUE(ini.ReadBool("update", "a1", false));
    EXPECT_TRUE(ini.ReadBool("Update", "A7", false));
    EXPECT_FALSE(ini.ReadBool("Update", "Null", true));
    EXPECT_EQ(ini.ReadInteger("Infodatei", "Anzeigen", 0), 2);
    EXPECT_EQ(ini.ReadInteger("Infodatei", "Leer", 9), 9);
    EXPECT_EQ(ini.ReadInteger("Infodatei", "Fehlt", -3), -3);
    EXPECT_EQ(ini.ReadString("Infodatei", "Text", "x"), " gequotet ");
    EXPECT_EQ(ini.ReadString("Fehlt", "Text", "vorgabe"), "vorgabe");
    EXPECT_EQ(IniFile("C:\\gibtsnicht.ini").ReadString("A", "B", "d"), "d");
}

TEST_F(IniFileTest, LongValuesAreCutTo1023Characters) {
    std::string value(1100, 'x');
    value[1022] = 'y';
    auto ini = Script("[ProgInfos]\r\nName=" + value + "\r\n");
    auto read = ini.ReadString("ProgInfos", "Name", "");
    ASSERT_EQ(read.size(), 1023u);
    EXPECT_EQ(read.back(), 'y');
}

TEST_F(IniFileTest, KeyListsAreNeverCut) {
    std::string content = "[Dateien]\r\n";
    for (int i = 0; i < 1000; ++i) {
        content += "Modul#VERZEICHNIS\\DATEI" + std::to_string(i) + ".TXT=@@INSTDIR@@\r\n";
    }
    auto ini = Script(content);
    auto keys = ini.ReadSectionKeys("dateien");
    ASSERT_EQ(keys.size(), 1000u);
    EXPECT_EQ(keys.back(), "Modul#VERZEICHNIS\\DATEI999.TXT");
}

TEST_F(IniFileTest, WritesBooleansAsDigitsAndErasesSections) {
    IniFile log("C:\\WINDOWS\\Uninstall Test.ini");
    log.WriteString("Programm", "Name", "Test");
    log.WriteBool("Ordner", "C:\\Prog\\", true);
    log.WriteBool("Ordner", "C:\\Prog\\Sub\\", false);
    EXPECT_EQ(log.ReadString("Ordner", "C:\\Prog\\", ""), "1");
    EXPECT_EQ(log.ReadString("Ordner", "C:\\Prog\\Sub\\", ""), "0");
    EXPECT_EQ(log.ReadSections(), (std::vector<std::string>{"Programm", "Ordner"}));
    log.EraseSection("ordner");
    EXPECT_EQ(log.ReadSections(), (std::vector<std::string>{"Programm"}));
}

TEST_F(IniFileTest, UnwritableFileRaisesTheGermanMessage) {
    IniFile log("Q:\\kein\\Laufwerk.ini");
    try {
        log.WriteString("Programm", "Name", "x");
        FAIL() << "expected an error";
    } catch (const SetupError& error) {
        EXPECT_EQ(error.Message(), "nach Q:\\kein\\Laufwerk.ini kann nicht geschrieben werden");
    }
    EXPECT_THROW(log.EraseSection("Programm"), SetupError);
}

}  // namespace
}  // namespace setup
