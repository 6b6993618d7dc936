#include <gtest/gtest.h>

#include "system/Error.h"
#include "system/IniFile.h"

namespace setup {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

TEST(IniInteger, ParsesDecimalHexAndRejectsEverythingElse) {
    const IntegerCase cases[] = {
        {"0", 0},
        {"7", 7},
        {"-12", -12},
        {"+5", 5},
        {"0x2", 2},
        {"0X1f", 31},
        {"$FF", 255},
        {"$ff", 255},
        {"0xFFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"0x100000000", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"-", std::nullopt},
        {"ja", std::nullopt},
        {"true", std::nullopt},
        {"1a", std::nullopt},
        {"0xg", std::nullopt},
        {"1 ", std::nullopt},
        {"-0x10", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseIniInteger(c.text), c.expected);
    }
}

TEST(ErrorText, GeneralErrorBoxAppendsPeriodAfterHigherCharacters) {
    EXPECT_EQ(ErrorBoxText("Fehler"), "Fehler.");
    EXPECT_EQ(ErrorBoxText("Fehler."), "Fehler.");
    EXPECT_EQ(ErrorBoxText("Fehler!"), "Fehler!");
    EXPECT_EQ(ErrorBoxText("Ungültiger Datentyp für 'X'"), "Ungültiger Datentyp für 'X'");
    EXPECT_EQ(ErrorBoxText("Das Verzeichnis kann nicht erstellt werden"),
              "Das Verzeichnis kann nicht erstellt werden.");
    EXPECT_EQ(ErrorBoxText("Menü"), "Menü.");
    EXPECT_EQ(ErrorBoxText(""), "");
    EXPECT_EQ(FormatMessage("nach %s kann nicht geschrieben werden", "C:\\a.ini"),
              "nach C:\\a.ini kann nicht geschrieben werden");
}

}  // namespace
}  // namespace setup
