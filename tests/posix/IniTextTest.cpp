// What only the emulation promises about profile files: edits keep every other byte,
// and any bytes are read without harm.
#include <gtest/gtest.h>

#include "platform/IniText.h"
#include "platform/posix/IniKeyIndex.h"
#include "platform/posix/PosixProfileFiles.h"
#include "support/EmulatedWindows.h"

namespace setup::platform::posix {
namespace {

TEST(IniText, EditsKeepTheRestOfTheFileByteForByte) {
    const std::string original =
        "; Kopf\n"
        "[ProgInfos]\n"
        "  Name = Alt  \n"
        "Version=1.0\n"
        "\n"
        "[Dateien]\t\n"
        "A.TXT=@@INSTDIR@@\n"
        "\n"
        "\n"
        "[Ende]\n"
        "Letzte=ohne Zeilenende";
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        std::string expected;
    };
    const Case cases[] = {
        {"proginfos", "NAME", "Neu",  // the key keeps its spelling, the line its LF
         "; Kopf\n[ProgInfos]\nName=Neu\nVersion=1.0\n\n[Dateien]\t\nA.TXT=@@INSTDIR@@\n\n\n"
         "[Ende]\nLetzte=ohne Zeilenende"},
        {"Dateien", "B.TXT", "x",  // behind the last line of the section, before blanks
         "; Kopf\n[ProgInfos]\n  Name = Alt  \nVersion=1.0\n\n[Dateien]\t\nA.TXT=@@INSTDIR@@\n"
         "B.TXT=x\r\n\n\n[Ende]\nLetzte=ohne Zeilenende"},
        {"Ende", "Neu", "1",  // the file's last line gets its line end
         "; Kopf\n[ProgInfos]\n  Name = Alt  \nVersion=1.0\n\n[Dateien]\t\nA.TXT=@@INSTDIR@@\n\n\n"
         "[Ende]\nLetzte=ohne Zeilenende\r\nNeu=1\r\n"},
        {"Neu", "K", "  v  ",  // a new section at the end; the value without its blanks
         "; Kopf\n[ProgInfos]\n  Name = Alt  \nVersion=1.0\n\n[Dateien]\t\nA.TXT=@@INSTDIR@@\n\n\n"
         "[Ende]\nLetzte=ohne Zeilenende\r\n[Neu]\r\nK=v\r\n"},
    };
    for (const Case& c : cases) {
        IniText text(original);
        text.Set(c.section, c.key, c.value);
        EXPECT_EQ(text.Bytes(), c.expected) << c.section << "/" << c.key;
    }

    IniText erased(original);
    EXPECT_TRUE(erased.EraseSection("DATEIEN"));
    EXPECT_EQ(erased.Bytes(),
              "; Kopf\n[ProgInfos]\n  Name = Alt  \nVersion=1.0\n\n[Ende]\nLetzte=ohne Zeilenende");
    EXPECT_FALSE(erased.EraseSection("Dateien"));
}

TEST(IniText, RepeatedSectionsAreReadFromTheFirstAndAllErased) {
    IniText text("[A]\nk=1\n[B]\nx=0\n[a]\nk=2\nm=3\n");
    EXPECT_EQ(text.Find("A", "k"), "1");
    EXPECT_EQ(text.Find("A", "m"), std::nullopt);  // only the first [A] is read
    EXPECT_EQ(text.Sections(), (std::vector<std::string>{"A", "B", "a"}));
    EXPECT_TRUE(text.EraseSection("a"));
    EXPECT_EQ(text.Bytes(), "[B]\nx=0\n");
}

// One key goes with its whole line (the log takes back a record this way).
TEST(IniText, AKeyIsErasedWithItsLine) {
    IniText text("[A]\r\nk=1\r\nm=2\r\n[B]\r\nk=3\r\n");
    EXPECT_TRUE(text.EraseKey("a", "K"));
    EXPECT_EQ(text.Bytes(), "[A]\r\nm=2\r\n[B]\r\nk=3\r\n");
    EXPECT_FALSE(text.EraseKey("A", "k"));
    EXPECT_FALSE(text.EraseKey("C", "m"));
}

TEST(IniText, OddLinesAreReadAsWindowsReadsThem) {
    IniText text(
        "top=vor allen\n"
        "[ Leer ]\n"
        "ohne Gleich\n"
        "=ohne Name\n"
        "[Kaputt\n"
        "k=v\n"
        "[X] Rest]\n"
        "a=b=c\n");
    EXPECT_EQ(text.Find("", "top"), "vor allen");  // before any section
    EXPECT_EQ(text.Find("Leer", "ohne Gleich"), std::nullopt);
    EXPECT_EQ(text.Find("Leer", "k"), "v");  // "[Kaputt" opens no section
    // Lines without "=" and empty names are no keys.
    EXPECT_EQ(text.Keys("Leer"), (std::vector<std::string>{"k"}));
    EXPECT_EQ(text.Find("X] Rest", "a"), "b=c");
    EXPECT_EQ(text.Sections(), (std::vector<std::string>{"Leer", "X] Rest"}));
}

// The emulation's index answers every lookup as the walk over the lines does.
TEST(IniKeyIndex, AnswersAsIniTextFinds) {
    const IniText text(
        "top=vor allen\n"
        "[]\n"
        "top=spaeter\n"
        "[ Leer ]\n"
        "ohne Gleich\n"
        "ohne gleich=versteckt\n"
        "=ohne Name\n"
        "k = erster \n"
        "K=zweiter\n"
        "[Kaputt\n"
        "[X] Rest]\n"
        "a=b=c\n"
        "[leer]\n"
        "neu=wiederholt\n");
    const IniKeyIndex index(text);
    const std::pair<const char*, const char*> lookups[] = {
        {"", "top"},      {" ", "TOP"},     {"leer", "ohne gleich"}, {"LEER", "k"},
        {"Leer", " k "},  {"Leer", ""},     {"Leer", "[Kaputt"},     {"leer", "neu"},
        {"X] Rest", "a"}, {"x] rest", "A"}, {"Fehlt", "k"},          {"Leer", "fehlt"},
    };
    for (const auto& [section, key] : lookups) {
        SCOPED_TRACE(std::string(section) + "/" + key);
        EXPECT_EQ(index.Find(section, key), text.Find(section, key));
    }
}

TEST(ProfileResult, StripsOnePairOfMatchingQuotesThenCuts) {
    struct Case {
        std::string value;
        std::size_t maxChars;
        std::string expected;
    };
    const Case cases[] = {
        {"\"\"", 10, ""},
        {"\"", 10, "\""},
        {"'a'", 10, "a"},
        {"\"a'", 10, "\"a'"},
        {"\"\"a\"\"", 10, "\"a\""},
        {"\"abcdef\"", 3, "abc"},
        {"abc", 0, ""},
        {std::string("ab\0cd", 5), 10, "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileResult(c.value, c.maxChars), c.expected) << c.value;
    }
}

TEST(EmulatedProfiles, BareFileNamesLieInTheWindowsFolder) {
    testing::EmulatedWindows windows;
    auto& profiles = windows.Os().Profiles();
    ASSERT_TRUE(profiles.WriteString("Uninstall Test.ini", "Programm", "Name", "Test"));
    EXPECT_EQ(windows.ReadFile("C:\\WINDOWS\\Uninstall Test.ini"), "[Programm]\r\nName=Test\r\n");
    // The default loses trailing blanks (not leading ones) and enclosing quotes.
    EXPECT_EQ(profiles.ReadString("C:\\Fehlt.ini", "A", "B", "  x  ", 99), "  x");
    EXPECT_EQ(profiles.ReadString("C:\\Fehlt.ini", "A", "B", "\"q\"", 99), "q");
    // Erasing in a missing file creates nothing.
    EXPECT_TRUE(profiles.EraseSection("C:\\Fehlt.ini", "A"));
    EXPECT_FALSE(windows.Exists("C:\\Fehlt.ini"));
}

// The emulation keeps a parsed copy between reads; a rewrite of the same size in
// the same clock tick must still be seen, where a copy by time and size would not.
TEST(EmulatedProfiles, ARewriteInTheSameClockTickIsSeen) {
    testing::EmulatedWindows windows;
    auto& profiles = windows.Os().Profiles();
    for (char digit = '0'; digit <= '9'; ++digit) {
        windows.WriteFile("C:\\Schnell.ini", std::string("[A]\r\nk=") + digit + "\r\n");
        EXPECT_EQ(profiles.ReadString("C:\\Schnell.ini", "A", "k", "", 9), std::string(1, digit));
    }
}

}  // namespace
}  // namespace setup::platform::posix
