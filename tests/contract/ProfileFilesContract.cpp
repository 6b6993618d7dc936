// What the profile (INI) functions must do alike on Windows and in the emulation.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "contract/ContractHelpers.h"
#include "platform/IniText.h"
#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

using platform::ProfileFiles;

// Lines of a script-like file; joined with LF or CRLF by the tests.
const std::vector<std::string> kScriptLines = {
    "[ProgInfos]",
    "Name=Beispiel",
    "  Firma  =   Muster GmbH   ",
    "Double=\"in double quotes\"",
    "Single='in single quotes'",
    "Mixed=\"not closed'",
    "Inner=a \"b\" c",
    "Long=0123456789",
    "Empty=",
    "Spaced = \"  kept blanks  \"",
    "Twice=first",
    "twice=second",
    "Umlaute=Größe 20 €",
    "; Comment=not a key",
    "",
    "[Dateien]",
    "Hilfe#HILFE.ZIP@1=@@INSTDIR@@",
    "[Leer]",
};

// How a script is saved: its line ends and its text encoding. Current editors save
// in UTF-8 or UTF-16 with a byte-order mark, old Mac editors with CR alone.
struct Saved {
    const char* name;
    const char* lineEnd;
    enum Encoding { Ansi, Utf8, Utf16 } encoding;
};

// The Unicode code point of a Windows-1252 character of the test texts.
char32_t CodePoint(char c) {
    if (c == '\x80') {
        return U'\u20AC';  // the euro sign; the texts use no other character of 0x80-0x9F
    }
    return static_cast<unsigned char>(c);
}

// The 1252 text `text` as the saving editor writes it.
std::string Encode(std::string_view text, Saved::Encoding encoding) {
    std::string bytes;
    if (encoding == Saved::Utf8) {
        bytes = "\xEF\xBB\xBF";
        for (char c : text) {
            const char32_t u = CodePoint(c);
            if (u < 0x80) {
                bytes += static_cast<char>(u);
            } else if (u < 0x800) {
                bytes += static_cast<char>(0xC0 | u >> 6);
                bytes += static_cast<char>(0x80 | (u & 0x3F));
            } else {
                bytes += static_cast<char>(0xE0 | u >> 12);
                bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (u & 0x3F));
            }
        }
        return bytes;
    }
    if (encoding == Saved::Utf16) {
        bytes = "\xFF\xFE";
        for (char c : text) {
            const char32_t u = CodePoint(c);
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
        }
        return bytes;
    }
    return std::string(text);
}

std::string Join(const std::vector<std::string>& lines, const Saved& saved) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += saved.lineEnd;
    }
    return Encode(text, saved.encoding);
}

class ProfileFilesContract : public ::testing::TestWithParam<Saved> {
  protected:
    void SetUp() override {
        env_ = MakeTestEnvironment();
        script_ = env_->ScratchFolder() + "Setup.ini";
        ASSERT_TRUE(WriteBytes(Files(), script_, Join(kScriptLines, GetParam())));
    }
    ProfileFiles& Profiles() { return env_->Os().Profiles(); }
    platform::FileSystem& Files() { return env_->Os().Files(); }

    std::unique_ptr<TestEnvironment> env_;
    std::string script_;
};

INSTANTIATE_TEST_SUITE_P(Saved, ProfileFilesContract,
                         ::testing::Values(Saved{"CRLF", "\r\n", Saved::Ansi},
                                           Saved{"LF", "\n", Saved::Ansi},
                                           Saved{"CR", "\r", Saved::Ansi},
                                           Saved{"Utf8Bom", "\r\n", Saved::Utf8},
                                           Saved{"Utf16Bom", "\r\n", Saved::Utf16}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_P(ProfileFilesContract, ReadsValuesByTheReadingRules) {
    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        std::size_t maxChars;
        const char* expected;
    };
    const Case cases[] = {
        {"ProgInfos", "Name", "x", 1023, "Beispiel"},
        {"PROGINFOS", "name", "x", 1023, "Beispiel"},      // names ignore case
        {"ProgInfos", "Firma", "x", 1023, "Muster GmbH"},  // blanks around name and value
        {"ProgInfos", "Double", "x", 1023, "in double quotes"},
        {"ProgInfos", "Single", "x", 1023, "in single quotes"},
        {"ProgInfos", "Mixed", "x", 1023, "\"not closed'"},     // quotes must match
        {"ProgInfos", "Inner", "x", 1023, "a \"b\" c"},         // only enclosing quotes go
        {"ProgInfos", "Spaced", "x", 1023, "  kept blanks  "},  // blanks inside quotes stay
        {"ProgInfos", "Long", "x", 4, "0123"},                  // cut at maxChars
        {"ProgInfos", "Long", "x", 10, "0123456789"},
        {"ProgInfos", "Empty", "x", 1023, ""},       // present but empty: no default
        {"ProgInfos", "Twice", "x", 1023, "first"},  // first occurrence wins
        {"ProgInfos", "Missing", "Vorgabe", 1023, "Vorgabe"},
        {"Missing", "Name", "Vorgabe", 1023, "Vorgabe"},
        {"ProgInfos", "Comment", "Vorgabe", 1023, "Vorgabe"},  // comment lines hold no keys
        {"Dateien", "hilfe#hilfe.zip@1", "x", 1023, "@@INSTDIR@@"},
        {"ProgInfos", "Umlaute", "x", 1023, "Größe 20 €"},  // in any encoding
        {"Leer", "Name", "", 1023, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(Profiles().ReadString(script_, c.section, c.key, c.defaultValue, c.maxChars),
                  c.expected);
    }
}

TEST_P(ProfileFilesContract, MissingFileReadsAsDefaultsAndEmptyLists) {
    const std::string missing = env_->ScratchFolder() + "Fehlt.ini";
    EXPECT_EQ(Profiles().ReadString(missing, "ProgInfos", "Name", "Vorgabe", 1023), "Vorgabe");
    EXPECT_TRUE(Profiles().ListKeys(missing, "ProgInfos").empty());
    EXPECT_TRUE(Profiles().ListSections(missing).empty());
    EXPECT_EQ(ReadBytes(Files(), missing), "<missing>");  // reading created nothing
}

TEST_P(ProfileFilesContract, ListsKeysAndSectionsInFileOrder) {
    EXPECT_EQ(Profiles().ListSections(script_),
              (std::vector<std::string>{"ProgInfos", "Dateien", "Leer"}));
    EXPECT_EQ(Profiles().ListKeys(script_, "dateien"),
              (std::vector<std::string>{"Hilfe#HILFE.ZIP@1"}));
    const auto keys = Profiles().ListKeys(script_, "ProgInfos");
    ASSERT_GE(keys.size(), 3u);
    EXPECT_EQ(keys[0], "Name");
    EXPECT_EQ(keys[1], "Firma");  // without its blanks
    for (const std::string& key : keys) {
        EXPECT_NE(key.front(), ';') << "a comment was listed";
    }
    EXPECT_TRUE(Profiles().ListKeys(script_, "Leer").empty());
    EXPECT_TRUE(Profiles().ListKeys(script_, "Missing").empty());
}

// The real functions list into a buffer; the seam must return every name even when
// the names together are far longer than the buffers the callers used to have.
TEST_P(ProfileFilesContract, ListsAreNeverCut) {
    std::vector<std::string> lines;
    std::vector<std::string> keys;
    std::vector<std::string> sections;
    lines.push_back("[Viele]");
    for (int i = 0; i < 700; ++i) {
        keys.push_back("Schluessel_Nummer_" + std::to_string(i));
        lines.push_back(keys.back() + "=" + std::to_string(i));
    }
    for (int i = 0; i < 700; ++i) {
        sections.push_back("Abschnitt_Nummer_" + std::to_string(i));
        lines.push_back("[" + sections.back() + "]");
    }
    sections.insert(sections.begin(), "Viele");
    const std::string file = env_->ScratchFolder() + "Viele.ini";
    ASSERT_TRUE(WriteBytes(Files(), file, Join(lines, GetParam())));
    EXPECT_EQ(Profiles().ListKeys(file, "Viele"), keys);
    EXPECT_EQ(Profiles().ListSections(file), sections);
}

TEST_P(ProfileFilesContract, WritesAndReadsBack) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"ProgInfos", "Name", "Neuer Name"},                // replaces a value
        {"progINFOS", "FIRMA", "Andere"},                   // found without regard to case
        {"ProgInfos", "Neu", "neuer Wert"},                 // new key in an existing section
        {"Leer", "Erster", "1"},                            // first key of an empty section
        {"Programm", "Pfad", "C:\\Programme\\Beispiel\\"},  // new section
        {"ProgInfos", "Empty", "jetzt gefüllt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        ASSERT_TRUE(Profiles().WriteString(script_, c.section, c.key, c.value));
        EXPECT_EQ(Profiles().ReadString(script_, c.section, c.key, "x", 1023), c.value);
    }
    // The rest of the file still reads as before.
    EXPECT_EQ(Profiles().ReadString(script_, "ProgInfos", "Double", "x", 1023), "in double quotes");
    EXPECT_EQ(Profiles().ReadString(script_, "Dateien", "Hilfe#HILFE.ZIP@1", "x", 1023),
              "@@INSTDIR@@");
    EXPECT_EQ(Profiles().ListSections(script_),
              (std::vector<std::string>{"ProgInfos", "Dateien", "Leer", "Programm"}));
}

// Reads may keep a parsed copy, but never past a change of the file by anyone.
TEST_P(ProfileFilesContract, ReadsSeeTheFileAsItIsNow) {
    const std::string file = env_->ScratchFolder() + "Wechsel.ini";
    const std::string versions[] = {"[A]\r\nk=eins\r\n", "[A]\r\nk=zwei\r\n",
                                    "[A]\r\nk=drei, nun l\xE4nger\r\n", "[A]\r\nk=vier\r\n"};
    for (const std::string& version : versions) {
        // Windows' copy is checked against the file's time and size: let the clock move.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ASSERT_TRUE(WriteBytes(Files(), file, version));
        const std::string value = version.substr(7, version.size() - 9);
        EXPECT_EQ(Profiles().ReadString(file, "A", "k", "", 1023), value);
        EXPECT_EQ(Profiles().ReadString(file, "A", "k", "", 1023), value);
    }
}

// Values an uninstaller must restore exactly as it found them: written with
// QuotedForProfile, the profile read gives back every byte.
TEST_P(ProfileFilesContract, QuotedValuesReadBackByteForByte) {
    const std::string values[] = {
        "\"C:\\Alt Programm\\alt.exe\" \"%1\"",
        "\"C:\\Alt Programm\\alt.exe\"",
        "'einfach'",
        "a \"b\" c",
        "\"nur vorn",
        "nur hinten\"",
        "'",
        "  Blanks rundum  ",
        "Text Datei",
        "",
        std::string(1023, 'x'),
        // Quoted for the file, the longest value that a read of 1023 characters returns whole.
        "\"" + std::string(1019, 'x') + "\"",
    };
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(Profiles().WriteString(script_, "Registry", "Programm",
                                           platform::QuotedForProfile(value)));
        EXPECT_EQ(Profiles().ReadString(script_, "Registry", "Programm", "x", 1023), value);
    }
}

TEST_P(ProfileFilesContract, WriteCreatesTheFileButNotItsFolder) {
    const std::string created = env_->ScratchFolder() + "Uninstall Beispiel.ini";
    ASSERT_TRUE(Profiles().WriteString(created, "Programm", "Name", "Beispiel"));
    EXPECT_EQ(Profiles().ReadString(created, "Programm", "Name", "", 1023), "Beispiel");
    // Written with CRLF, so that the file reads the same everywhere.
    EXPECT_NE(ReadBytes(Files(), created).find("Name=Beispiel\r\n"), std::string::npos);

    const std::string inMissingFolder = env_->ScratchFolder() + "Fehlt\\Neu.ini";
    EXPECT_FALSE(Profiles().WriteString(inMissingFolder, "Programm", "Name", "Beispiel"));
}

TEST_P(ProfileFilesContract, EraseSectionRemovesItsKeysOnly) {
    ASSERT_TRUE(Profiles().EraseSection(script_, "proginfos"));
    EXPECT_EQ(Profiles().ReadString(script_, "ProgInfos", "Name", "weg", 1023), "weg");
    EXPECT_TRUE(Profiles().ListKeys(script_, "ProgInfos").empty());
    EXPECT_EQ(Profiles().ListSections(script_), (std::vector<std::string>{"Dateien", "Leer"}));
    EXPECT_EQ(Profiles().ReadString(script_, "Dateien", "Hilfe#HILFE.ZIP@1", "x", 1023),
              "@@INSTDIR@@");
    // Erasing what is not there is no failure.
    EXPECT_TRUE(Profiles().EraseSection(script_, "Missing"));
}

}  // namespace
}  // namespace setup::testing
