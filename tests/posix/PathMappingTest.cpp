// How the emulation maps Windows paths to host files: drives, letter case, code
// pages, relative paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/EmulatedWindows.h"

namespace setup::testing {
namespace {

namespace fs = std::filesystem;
namespace attr = platform::attr;

void WriteHost(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(EmulatedPaths, DrivesMapToTheirFolders) {
    EmulatedWindows windows;
    WriteHost(windows.MediumFolder() / "SETUP.INI", "[ProgInfos]\r\nName=Medium\r\n");
    WriteHost(windows.Root() / "c" / "Daten.txt", "C");

    auto& files = windows.Os().Files();
    EXPECT_EQ(files.FindFirst("D:\\setup.ini")->name, "SETUP.INI");
    EXPECT_EQ(windows.Os().Profiles().ReadString("d:\\Setup.ini", "ProgInfos", "Name", "", 99),
              "Medium");
    EXPECT_NE(files.GetAttributes("C:\\DATEN.TXT"), attr::kInvalid);
    // An unmapped drive has nothing, and nothing can be made on it.
    EXPECT_EQ(files.GetAttributes("Q:\\Daten.txt"), attr::kInvalid);
    EXPECT_EQ(files.Open("Q:\\Neu.txt", platform::OpenMode::CreateWrite), nullptr);
    EXPECT_FALSE(files.CreateFolder("Q:\\Neu"));
    EXPECT_FALSE(windows.Os().HostPath("Q:\\Neu").has_value());

    // A drive mapped later is there at once.
    const fs::path other = windows.Root() / "other";
    WriteHost(other / "x.txt", "x");
    windows.Os().MapDrive('e', other);
    EXPECT_TRUE(files.FindFirst("E:\\X.TXT").has_value());
}

TEST(EmulatedPaths, ExistingHostNamesAreFoundWithoutRegardToCase) {
    EmulatedWindows windows;
    WriteHost(windows.Root() / "c" / "Programme" / "Firma" / "Setup.INI", "x");
    struct Case {
        const char* windowsPath;
        const char* hostPath;  // relative to the root
    };
    const Case cases[] = {
        {"C:\\PROGRAMME\\firma\\setup.ini", "c/Programme/Firma/Setup.INI"},
        {"c:/programme/FIRMA/Setup.ini", "c/Programme/Firma/Setup.INI"},
        {"C:\\Programme\\.\\Andere\\..\\Firma\\setup.ini", "c/Programme/Firma/Setup.INI"},
        {"C:\\Programme\\Firma\\setup.ini.", "c/Programme/Firma/Setup.INI"},  // trailing dot
        // Missing names keep the spelling given, below the existing ones.
        {"C:\\PROGRAMME\\Neu\\Datei.TXT", "c/Programme/Neu/Datei.TXT"},
        {"C:\\..\\..\\x", "c/x"},  // nothing climbs out of the drive
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windows.HostPath(c.windowsPath), windows.Root() / c.hostPath) << c.windowsPath;
    }
    // Creating with another case reuses the existing folder.
    ASSERT_NE(
        windows.Os().Files().Open("c:\\programme\\FIRMA\\neu.txt", platform::OpenMode::CreateWrite),
        nullptr);
    EXPECT_TRUE(fs::exists(windows.Root() / "c" / "Programme" / "Firma" / "neu.txt"));
}

// What a lookup and an open find for names as spelled, in another case, behind
// links (one to a file, one dangling) and missing in every spelling.
TEST(EmulatedPaths, LookupsFollowLinksAndOtherSpellings) {
    EmulatedWindows windows;
    const fs::path folder = windows.Root() / "c" / "Daten";
    WriteHost(folder / "Text.TXT", "Inhalt");
    fs::create_symlink(folder / "Text.TXT", folder / "Verweis.txt");
    fs::create_symlink(folder / "Fehlt.txt", folder / "tot.txt");
    WriteHost(folder / "TOT.TXT", "lebt");  // another spelling beside the dead link
    struct Case {
        const char* path;
        const char* content;  // nullptr: nothing there
        const char* found;    // the name FindFirst gives
    };
    const Case cases[] = {
        {"C:\\Daten\\Text.TXT", "Inhalt", "Text.TXT"},
        {"C:\\Daten\\text.txt", "Inhalt", "Text.TXT"},
        {"C:\\DATEN\\text.txt", "Inhalt", "Text.TXT"},
        {"C:\\Daten\\Verweis.txt", "Inhalt", "Verweis.txt"},
        {"C:\\Daten\\VERWEIS.TXT", "Inhalt", "Verweis.txt"},
        {"C:\\Daten\\tot.txt", nullptr, nullptr},
        {"C:\\Daten\\TOT.TXT", "lebt", "TOT.TXT"},
        {"C:\\Daten\\Neu.txt", nullptr, nullptr},
        {"C:\\DATEN\\Neu.txt", nullptr, nullptr},
        {"C:\\Fehlt\\Text.txt", nullptr, nullptr},
        {"C:\\daten\\", "", nullptr},  // a folder: attributes, no file to open
    };
    auto& files = windows.Os().Files();
    for (const Case& c : cases) {
        EXPECT_EQ(files.GetAttributes(c.path) != attr::kInvalid, c.content != nullptr) << c.path;
        const auto found = files.FindFirst(c.path);
        EXPECT_EQ(found ? found->name : "-", c.found ? c.found : "-") << c.path;
        auto file = files.Open(c.path, platform::OpenMode::Read);
        const bool readable = c.content != nullptr && *c.content != '\0';
        ASSERT_EQ(file != nullptr, readable) << c.path;
        if (readable) {
            std::uint8_t bytes[16] = {};
            const auto count = file->Read(bytes);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(count)),
                      c.content)
                << c.path;
        }
    }
}

// Profile files are found like other files: as spelled, in another case, behind a
// link; a change behind the link is read too.
TEST(EmulatedPaths, ProfilesAreReadThroughLinksAndOtherSpellings) {
    EmulatedWindows windows;
    const fs::path folder = windows.Root() / "c" / "Daten";
    WriteHost(folder / "Echt.ini", "[A]\r\nB=1\r\n");
    fs::create_symlink(folder / "Echt.ini", folder / "Link.ini");
    auto& profiles = windows.Os().Profiles();
    const char* const paths[] = {"C:\\Daten\\Echt.ini", "C:\\Daten\\ECHT.INI",
                                 "C:\\Daten\\Link.ini", "C:\\Daten\\Fehlt.ini"};
    for (const char* value : {"1", "22"}) {
        WriteHost(folder / "Echt.ini", std::string("[A]\r\nB=") + value + "\r\n");
        for (const char* path : paths) {
            const bool missing = std::string_view(path).ends_with("Fehlt.ini");
            EXPECT_EQ(profiles.ReadString(path, "A", "B", "-", 99), missing ? "-" : value) << path;
        }
    }
}

TEST(EmulatedPaths, NamesAreWindows1252InsideAndUtf8OnTheHost) {
    EmulatedWindows windows;
    auto& files = windows.Os().Files();
    // A name written by the installer ("ü" is one byte here) is UTF-8 on the host.
    ASSERT_TRUE(windows.Os().Profiles().WriteString("C:\\Büro.ini", "Größe", "Maß", "groß"));
    EXPECT_TRUE(fs::exists(windows.Root() / "c" / u8"Büro.ini"));
    // Host names are listed in 1252 and found with accented letters in either case.
    WriteHost(windows.Root() / "c" / u8"Übersicht €.txt", "x");
    auto found = files.FindFirst("C:\\Ü*");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->name, "Übersicht €.txt");
    EXPECT_NE(files.GetAttributes("C:\\übersicht €.TXT"), attr::kInvalid);
    EXPECT_TRUE(files.FindFirst("C:\\BÜRO.INI").has_value());
}

TEST(EmulatedPaths, RelativePathsFollowTheCurrentFolder) {
    EmulatedWindows windows;
    auto& files = windows.Os().Files();
    EXPECT_EQ(files.GetCurrentFolder(), "C:\\");
    windows.MakeFolder("C:\\Arbeit\\Unter");
    ASSERT_TRUE(files.SetCurrentFolder("c:/arbeit/"));
    EXPECT_EQ(files.GetCurrentFolder(), "c:\\arbeit");  // spelled as set
    struct Case {
        const char* relative;
        const char* absolute;
    };
    const Case cases[] = {
        {"a.txt", "C:\\Arbeit\\a.txt"},   {"Unter\\b.txt", "C:\\Arbeit\\Unter\\b.txt"},
        {"..\\c.txt", "C:\\c.txt"},       {"\\d.txt", "C:\\d.txt"},
        {"C:e.txt", "C:\\Arbeit\\e.txt"},  // the drive's current folder
        {"D:f.txt", "D:\\f.txt"},          // other drives start at their root
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windows.HostPath(c.relative), windows.HostPath(c.absolute)) << c.relative;
    }
    EXPECT_FALSE(windows.Os().HostPath("\\\\server\\share\\x").has_value());
}

TEST(EmulatedPaths, ReadOnlyHoldsEvenForTheHostsAdministrator) {
    // Real Windows refuses all of these; the host's permissions would not when the
    // tests run as root, so the emulation checks the attribute itself.
    EmulatedWindows windows;
    auto& files = windows.Os().Files();
    windows.WriteFile("C:\\Quelle.txt", "neu");
    windows.WriteFile("C:\\Fest.txt", "alt");
    windows.WriteFile("C:\\Fest.ini", "[A]\r\nB=1\r\n");
    ASSERT_TRUE(files.SetAttributes("C:\\Fest.txt", attr::kReadOnly));
    ASSERT_TRUE(files.SetAttributes("C:\\Fest.ini", attr::kReadOnly));

    EXPECT_FALSE(files.CopyFile("C:\\Quelle.txt", "C:\\Fest.txt", false));
    EXPECT_FALSE(files.MoveFile("C:\\Quelle.txt", "C:\\Fest.txt", true));
    EXPECT_EQ(files.Open("C:\\Fest.txt", platform::OpenMode::CreateWrite), nullptr);
    EXPECT_EQ(files.Open("C:\\Fest.txt", platform::OpenMode::ReadWrite), nullptr);
    EXPECT_NE(files.Open("C:\\Fest.txt", platform::OpenMode::Read), nullptr);
    EXPECT_FALSE(windows.Os().Profiles().WriteString("C:\\Fest.ini", "A", "B", "2"));
    EXPECT_FALSE(windows.Os().Profiles().EraseSection("C:\\Fest.ini", "A"));
    EXPECT_EQ(windows.ReadFile("C:\\Fest.txt"), "alt");
    EXPECT_EQ(windows.ReadFile("C:\\Fest.ini"), "[A]\r\nB=1\r\n");
    // A copy onto itself would destroy the source.
    EXPECT_FALSE(files.CopyFile("C:\\Quelle.txt", "c:\\QUELLE.TXT", false));
    EXPECT_EQ(windows.ReadFile("C:\\Quelle.txt"), "neu");
}

TEST(EmulatedPaths, FolderAttributesAndArchiveDefault) {
    EmulatedWindows windows;
    auto& files = windows.Os().Files();
    windows.WriteFile("C:\\Neu.txt", "x");
    windows.MakeFolder("C:\\Ordner");
    EXPECT_EQ(files.GetAttributes("C:\\Neu.txt"), attr::kArchive);
    EXPECT_EQ(files.GetAttributes("C:\\Ordner"), attr::kDirectory);
    ASSERT_TRUE(files.SetAttributes("C:\\Neu.txt", attr::kNormal));
    EXPECT_EQ(files.GetAttributes("C:\\Neu.txt"), attr::kNormal);
    // A read-only folder stays writable, as on Windows.
    ASSERT_TRUE(files.SetAttributes("C:\\Ordner", attr::kReadOnly | attr::kHidden));
    EXPECT_EQ(files.GetAttributes("C:\\Ordner"),
              attr::kDirectory | attr::kReadOnly | attr::kHidden);
    EXPECT_TRUE(files.CreateFolder("C:\\Ordner\\Unter"));
    // A case-only rename takes the new spelling.
    ASSERT_TRUE(files.MoveFile("C:\\Neu.txt", "C:\\NEU.TXT", false));
    EXPECT_EQ(files.FindFirst("C:\\neu.txt")->name, "NEU.TXT");
}

}  // namespace
}  // namespace setup::testing
