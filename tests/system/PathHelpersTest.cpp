#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "system/PathHelpers.h"

namespace setup {
namespace {

struct KeyCase {
    const char* key;
    const char* module;
    const char* fileName;
    bool archive;
};

TEST(PathHelpers, FileKeysSplitIntoModuleNameAndArchiveMark) {
    const KeyCase cases[] = {
        {"Hilfe#HILFE.ZIP@1", "Hilfe", "HILFE.ZIP", true},
        {"PROGRAMM.EXE", "", "PROGRAMM.EXE", false},
        {"#DATEI.TXT", "", "DATEI.TXT", false},
        {"DATEI.DL_@", "", "DATEI.DL_", false},
        {"DATEI.DL_@10", "", "DATEI.DL_", true},
        {"X@1#DATEI.TXT", "X@1", "DATEI.TXT", true},
        {"Mod#UNTER\\DATEI.TXT@0", "Mod", "UNTER\\DATEI.TXT", false},
        {"A#B#C@1@0", "A", "B#C", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(KeyModule(c.key), c.module);
        EXPECT_EQ(KeyFileName(c.key), c.fileName);
        EXPECT_EQ(KeyIsArchive(c.key), c.archive);
    }
}

struct TextCase {
    std::string (*helper)(std::string_view);
    const char* input;
    const char* expected;
};

TEST(PathHelpers, NameAndFolderRules) {
    const TextCase cases[] = {
        {AddTrailingBackslash, "", ""},
        {AddTrailingBackslash, "C:\\a\\", "C:\\a\\"},
        {AddTrailingBackslash, "C:\\a/", "C:\\a/\\"},
        {LastPathComponent, "C:\\Programme\\Gruppe\\", "Gruppe"},
        {LastPathComponent, "Gruppe", "Gruppe"},
        {LastPathComponent, "C:\\", "C:"},
        {TrimNameEnd, "Programm 2.0 ", "Programm 2.0"},
        {TrimNameEnd, "Prog!!", "Prog!"},
        {TrimNameEnd, "Name.", "Name."},
        {TrimNameEnd, "Namez", "Namez"},
        {TrimNameEnd, "Name{", "Name"},
        {FileNameOf, "C:PROG.EXE", "PROG.EXE"},
        {FileNameOf, "C:\\a\\b.txt", "b.txt"},
        {FileNameOf, "b.txt", "b.txt"},
        {FileNameOf, "C:\\a\\", ""},
        {FolderOf, "C:\\a\\b.txt", "C:\\a\\"},
        {FolderOf, "C:b.txt", "C:"},
        {FolderOf, "b.txt", ""},
        {ExtensionOf, "C:\\a.b\\name", ""},
        {ExtensionOf, "C:\\a\\name.tar.gz", ".gz"},
        {ExtensionOf, "name.", "."},
        {ExtensionOf, "C:.x", ".x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.helper(c.input), c.expected);
    }
}

// The path Windows addresses, spelled one way; nothing for what is no full local path.
TEST(PathHelpers, CanonicalLocalPath) {
    const std::string deep = "C:\\" + std::string(250, 'a') + "\\";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"C:\\Ziel\\Daten\\", "C:\\Ziel\\Daten\\"},
        {"C:\\Ziel\\\\Daten\\", "C:\\Ziel\\Daten\\"},  // doubled backslash
        {"C:/Ziel/Daten/", "C:\\Ziel\\Daten\\"},
        {"C:\\Ziel\\Daten/\\", "C:\\Ziel\\Daten\\"},
        {"C:\\Ziel\\..\\Daten\\", "C:\\Daten\\"},
        {"C:\\..\\..\\Daten", "C:\\Daten"},  // never above the root
        {"C:\\Ziel\\.\\Daten \\a.txt. ", "C:\\Ziel\\Daten\\a.txt"},
        {"C:\\Ziel\\... \\", "C:\\Ziel\\"},
        {"c:\\Ziel\\..", "c:\\"},
        {"C:\\", "C:\\"},
        {"C:\\ a b\\", "C:\\ a b\\"},  // leading blanks belong to the name
        {"C:", std::nullopt},
        {"C:Muster\\", std::nullopt},
        {"\\Muster\\", std::nullopt},
        {"\\\\Server\\Freigabe\\", std::nullopt},
        {"Daten\\", std::nullopt},
        {"", std::nullopt},
        {"C:\\Ziel\\a:b", std::nullopt},  // a second stream
        {"C:\\Ziel\\*.txt", std::nullopt},
        {"C:\\Ziel\\NUL.txt", std::nullopt},
        {"C:\\Ziel\\a\tb", std::nullopt},
        {deep + "12345", deep + "12345"},  // 259 characters
        {deep + "123456", std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(CanonicalLocalPath(path), expected);
    }
}

TEST(PathHelpers, ReplaceExtension) {
    EXPECT_EQ(ReplaceExtension("x", ".lnk"), "x.lnk");
    EXPECT_EQ(ReplaceExtension("C:\\a\\prog.exe", ".ini"), "C:\\a\\prog.ini");
    EXPECT_EQ(ReplaceExtension("C:\\a.b\\prog", ".ini"), "C:\\a.b\\prog.ini");
    EXPECT_EQ(ReplaceExtension("prog.exe", ""), "prog");
}

}  // namespace
}  // namespace setup
