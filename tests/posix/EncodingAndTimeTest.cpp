// The pure conversions under the emulation: Windows-1252 <-> UTF-8 names and
// MS-DOS dates.
#include <gtest/gtest.h>

#include "platform/posix/Cp1252.h"
#include "platform/posix/DosTime.h"

namespace setup::platform::posix {
namespace {

// String literals are compiled to Windows-1252; UTF-8 text is written as u8"".
std::string Utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

TEST(Cp1252, ConvertsEveryByteAndBack) {
    struct Case {
        std::string cp1252;
        std::string utf8;
    };
    const Case cases[] = {
        {"Setup.ini", "Setup.ini"},
        {"äöüÄÖÜß", Utf8(u8"äöüÄÖÜß")},
        {"\x80 \x8A \x9F", Utf8(u8"€ Š Ÿ")},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // undefined: C1
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
    }
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    const std::string ascii = all.substr(0, 0x80);  // each byte stands for itself
    EXPECT_EQ(Cp1252ToUtf8(ascii), ascii);
    EXPECT_EQ(Utf8ToCp1252(ascii), ascii);
}

TEST(Cp1252, HostTextItCannotHoldBecomesQuestionMarks) {
    struct Case {
        std::string utf8;
        std::string cp1252;
    };
    const Case cases[] = {
        {Utf8(u8"日本"), "??"},  // not in the code page
        {"a\xFF"
         "b",
         "a?b"},                      // invalid byte
        {"\xC3", "?"},                // cut sequence
        {"\xC0\xAF", "??"},           // overlong "/"
        {"\xED\xA0\x80", "???"},      // surrogate
        {"\xF0\x9F\x98\x80x", "?x"},  // beyond the BMP
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    }
}

TEST(Cp1252, FoldsAccentedLettersLikeTheFileSystem) {
    EXPECT_TRUE(EqualsFolded1252("Übersicht", "üBERSICHT"));
    EXPECT_TRUE(EqualsFolded1252("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"));  // š œ ž ÿ
    EXPECT_FALSE(EqualsFolded1252("\xF7", "\xD7"));                         // ÷ is no letter
    EXPECT_FALSE(EqualsFolded1252("ß", "SS"));
}

constexpr std::uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour,
                            unsigned minute, unsigned second) {
    return (((year - 1980) << 9 | month << 5 | day) << 16) |
           (hour << 11 | minute << 5 | second / 2);
}

TEST(DosTime, ConvertsWithinTheFormatsYears) {
    constexpr FileTime k1980 = 119'600'064'000'000'000;  // 1980-01-01 00:00:00
    constexpr FileTime kSecond = 10'000'000;
    struct Case {
        FileTime time;
        std::optional<std::uint32_t> dos;
    };
    const Case cases[] = {
        {k1980, Dos(1980, 1, 1, 0, 0, 0)},
        {k1980 - 1, std::nullopt},  // 1979-12-31 23:59:59.9999999
        {k1980 + 59 * kSecond + kSecond - 1, Dos(1980, 1, 1, 0, 0, 58)},   // rounds down
        {k1980 + (60 + 29) * 86400 * kSecond, Dos(1980, 3, 30, 0, 0, 0)},  // leap year
        {159'992'927'990'000'000, Dos(2107, 12, 31, 23, 59, 58)},          // 2107-12-31 23:59:59
        {159'992'928'000'000'000, std::nullopt},                           // 2108-01-01
        {0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DosFromFileTime(c.time), c.dos) << c.time;
        if (c.dos) {
            auto back = FileTimeFromDos(*c.dos);
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(DosFromFileTime(*back), c.dos);
            EXPECT_LE(*back, c.time);
            EXPECT_GT(*back + 2 * kSecond, c.time);
        }
    }
}

TEST(DosTime, RefusesFieldsOutOfRange) {
    for (std::uint32_t dos :
         {Dos(2001, 0, 1, 0, 0, 0), Dos(2001, 13, 1, 0, 0, 0), Dos(2001, 1, 0, 0, 0, 0),
          Dos(2001, 4, 31, 0, 0, 0), Dos(2001, 2, 29, 0, 0, 0), Dos(2001, 1, 1, 24, 0, 0),
          Dos(2001, 1, 1, 0, 60, 0), Dos(2001, 1, 1, 0, 0, 60)}) {
        EXPECT_FALSE(FileTimeFromDos(dos).has_value()) << std::hex << dos;
    }
    EXPECT_TRUE(FileTimeFromDos(Dos(2000, 2, 29, 23, 59, 58)).has_value());
}

}  // namespace
}  // namespace setup::platform::posix
