// `medium check` on broken media: each row is one problem, the exact diagnostics
// it gives and whether the check fails. The medium is drive D: of an emulated
// Windows; a clean script with its files is the base every row changes.
#include <gtest/gtest.h>

#include <map>

#include "CheckMedium.h"
#include "platform/posix/Cp1252.h"
#include "support/EmulatedWindows.h"
#include "zip/Crc32.h"

namespace setup::medium {
namespace {

struct Entry {
    std::string name;
    std::string data;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    bool badCrc = false;
};

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A ZIP archive of stored entries (the method field as given).
std::string Zip(const std::vector<Entry>& entries) {
    std::string local;
    std::string central;
    for (const Entry& e : entries) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(e.data.data());
        std::uint32_t crc = ~zip::UpdateCrc32(0xFFFFFFFF, {bytes, e.data.size()});
        crc ^= e.badCrc ? 1U : 0U;
        auto header = [&](std::string& out, bool isCentral) {
            Put32(out, isCentral ? 0x02014B50 : 0x04034B50);
            if (isCentral) {
                Put16(out, 20);
            }
            Put16(out, 20);
            Put16(out, e.flags);
            Put16(out, e.method);
            Put32(out, 0x5A210000);  // 2025-01-01 00:00
            Put32(out, crc);
            Put32(out, static_cast<std::uint32_t>(e.data.size()));
            Put32(out, static_cast<std::uint32_t>(e.data.size()));
            Put16(out, static_cast<std::uint32_t>(e.name.size()));
            Put16(out, 0);
            if (isCentral) {
                Put16(out, 0);
                Put16(out, 0);
                Put16(out, 0);
                Put32(out, 0);
                Put32(out, static_cast<std::uint32_t>(local.size()));
            }
            out += e.name;
        };
        header(central, true);
        header(local, false);
        local += e.data;
    }
    std::string end;
    Put32(end, 0x06054B50);
    Put32(end, 0);
    Put16(end, static_cast<std::uint32_t>(entries.size()));
    Put16(end, static_cast<std::uint32_t>(entries.size()));
    Put32(end, static_cast<std::uint32_t>(central.size()));
    Put32(end, static_cast<std::uint32_t>(local.size()));
    Put16(end, 0);
    return local + central + end;
}

constexpr std::string_view kScript =
    "[ProgInfos]\r\n"
    "Firma=Muster GmbH\r\n"
    "Name=Muster\r\n"
    "Version=2.1\r\n"
    "ZielVerz=@@PRGDIR@@Muster\r\n"
    "Uninstaller=Uninstall.exe\r\n"
    "Auswahl=1\r\n"
    "[Update]\r\n"
    "Anbieten=1\r\n"
    "ExeName=Muster.exe\r\n"
    "MinimumVersionNr=1.0\r\n"
    "[Registry]\r\n"
    "SoftwareKey=Muster\r\n"
    "[Auswahl]\r\n"
    "Programm=1\r\n"
    "Handbuch=0\r\n"
    "[Dateien]\r\n"
    "Programm#Muster.exe=@@INSTDIR@@\r\n"
    "Handbuch#Hilfe.tx_@1=@@INSTDIR@@Hilfe\\\r\n"
    "[ShortCuts]\r\n"
    "@@PRGGRP@@Muster.exe=Muster,@@INSTDIR@@\r\n"
    "[Starten]\r\n"
    "@@INSTDIR@@Hilfe\\Hilfe.txt=1\r\n";

std::map<std::string, std::string> BaseFiles() {
    return {{"Muster.exe", "MZ program"},
            {"Uninstall.exe", "MZ uninstaller"},
            {"Hilfe.tx_", Zip({{"Hilfe.txt", "Hilfe"}})}};
}

struct Row {
    const char* problem;
    std::string script;  // replaces (from, to) pairs in kScript
    std::vector<std::pair<std::string, std::string>> replace;
    std::map<std::string, std::optional<std::string>> files;  // nothing: removed
    std::vector<std::string> expected;
    bool fails;
};

std::string Replaced(const Row& row) {
    std::string script = row.script.empty() ? std::string(kScript) : row.script;
    for (const auto& [from, to] : row.replace) {
        const std::size_t at = script.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) {
            script.replace(at, from.size(), to);
        }
    }
    return script;
}

TEST(MediumCheck, FindsWhatTheInstallerWouldMeet) {
    const std::string longValue(1030, 'x');
    const std::vector<Row> rows = {
        {"a clean medium", "", {}, {}, {}, false},
        {"a missing file",
         "",
         {},
         {{"Muster.exe", std::nullopt}},
         {"Setup.ini:18: error: \"Muster.exe\" is not on the medium [missing-file]"},
         true},
        {"a file in another letter case",
         "",
         {},
         {{"Muster.exe", std::nullopt}, {"muster.EXE", "MZ"}},
         {"Setup.ini:18: warning: \"Muster.exe\" is on the medium as \"muster.EXE\": Windows finds "
          "it, a case-sensitive disk does not [letter-case]"},
         false},
        {"an archive without \"_\"",
         "",
         {{"Hilfe.tx_@1", "Hilfe.zip@1"}},
         {{"Hilfe.zip", "PK"}},
         {"Setup.ini:19: error: the archive \"Hilfe.zip\" has no \"_\" in its path; the installer "
          "does not take it for an archive [archive-name]",
          "Setup.ini:23: error: \"@@INSTDIR@@Hilfe\\Hilfe.txt\" is not installed by [Dateien]; "
          "opening it fails [start-target]"},
         true},
        {"no ZIP",
         "",
         {},
         {{"Hilfe.tx_", "Hilfe"}},
         {"Setup.ini:19: error: \"Hilfe.tx_\" is not a ZIP archive [not-zip]",
          "Setup.ini:23: error: \"@@INSTDIR@@Hilfe\\Hilfe.txt\" is not installed by [Dateien]; "
          "opening it fails [start-target]"},
         true},
        {"two entries",
         "",
         {},
         {{"Hilfe.tx_", Zip({{"Alt.txt", "a"}, {"Hilfe.txt", "b"}})}},
         {"Setup.ini:19: error: \"Hilfe.tx_\" holds 2 entries; the installer installs only the "
          "last one [zip-entries]"},
         true},
        {"bzip2",
         "",
         {},
         {{"Hilfe.tx_", Zip({{"Hilfe.txt", "Hilfe", 12}})}},
         {"Setup.ini:19: error: \"Hilfe.txt\" in \"Hilfe.tx_\" is packed by method 12; the "
          "installer reads 0, 1, 6 and 8 [zip-method]",
          "Setup.ini:23: error: \"@@INSTDIR@@Hilfe\\Hilfe.txt\" is not installed by [Dateien]; "
          "opening it fails [start-target]"},
         true},
        {"encrypted",
         "",
         {},
         {{"Hilfe.tx_", Zip({{"Hilfe.txt", "Hilfe", 0, 1}})}},
         {"Setup.ini:19: error: \"Hilfe.tx_\" is encrypted [zip-encrypted]",
          "Setup.ini:23: error: \"@@INSTDIR@@Hilfe\\Hilfe.txt\" is not installed by [Dateien]; "
          "opening it fails [start-target]"},
         true},
        {"a bad CRC",
         "",
         {},
         {{"Hilfe.tx_", Zip({{"Hilfe.txt", "Hilfe", 0, 0, true}})}},
         {"Setup.ini:19: error: \"Hilfe.tx_\" fails its CRC check [zip-crc]",
          "Setup.ini:23: error: \"@@INSTDIR@@Hilfe\\Hilfe.txt\" is not installed by [Dateien]; "
          "opening it fails [start-target]"},
         true},
        {"a name without 1252 form",
         "",
         {},
         {{"Hilfe.tx_", Zip({{"\xE6\x97\xA5.txt", "Hilfe", 0, 0x800}})}},
         {"Setup.ini:19: error: the entry name in \"Hilfe.tx_\" has no Windows-1252 form "
          "[zip-name]",
          "Setup.ini:23: error: \"@@INSTDIR@@Hilfe\\Hilfe.txt\" is not installed by [Dateien]; "
          "opening it fails [start-target]"},
         true},
        {"placeholders",
         "",
         {{"@@PRGDIR@@Muster", "@@PROGDIR@@Muster"},
          {"Muster,@@INSTDIR@@", "Muster,@@INSTDIR@@@@WINDIR@@"}},
         {},
         {"Setup.ini:5: error: unknown placeholder @@PROGDIR@@; the installer removes it "
          "[placeholder]",
          "Setup.ini:21: error: only the first placeholder of a text is replaced; @@WINDIR@@ stays "
          "as written [placeholder]"},
         true},
        {"a long value",
         "",
         {{"Firma=Muster GmbH", "Firma=" + longValue}},
         {},
         {"Setup.ini:2: error: the value of \"Firma\" has 1030 characters; the installer reads "
          "only "
          "the first 1023 [long-value]"},
         true},
        {"a key and a section twice",
         "",
         {{"Name=Muster\r\n", "Name=Muster\r\nname=Anders\r\n"},
          {"[Starten]", "[Starten]\r\n[ShortCuts]"}},
         {},
         {"Setup.ini:4: error: key \"name\" is written twice in [ProgInfos] (first on line 3); the "
          "installer reads only the first value [duplicate-key]",
          "Setup.ini:24: error: section [ShortCuts] is written twice (first on line 21); the "
          "installer reads only the first [duplicate-section]"},
         true},
        {"targets not installed",
         "",
         {{"@@PRGGRP@@Muster.exe", "@@PRGGRP@@Fehlt.exe"}, {"Hilfe\\Hilfe.txt=1", "Fehlt.txt=1"}},
         {},
         {"Setup.ini:21: warning: the shortcut's target @@INSTDIR@@Fehlt.exe is not installed by "
          "[Dateien]; the installer leaves the shortcut out [shortcut-target]",
          "Setup.ini:23: error: \"@@INSTDIR@@Fehlt.txt\" is not installed by [Dateien]; opening it "
          "fails [start-target]"},
         true},
        {"modules",
         "",
         {{"Handbuch=0", "Extras=0"}},
         {},
         {"Setup.ini:16: warning: module \"Extras\" has no files in [Dateien] [module-empty]",
          "Setup.ini:19: error: module \"Handbuch\" is not listed in [Auswahl]; its files are "
          "never "
          "installed [module-unknown]"},
         true},
        {"no module page",
         "",
         {{"Auswahl=1", "Auswahl=0"}},
         {},
         {"Setup.ini:18: error: files of module \"Programm\" are never installed: [ProgInfos] "
          "Auswahl is not 1, so no module is chosen [modules-off]"},
         true},
        {"a version compared as text",
         "",
         {{"Version=2.1", "Version=1.10"}, {"Nr=1.0", "Nr=1.9"}},
         {},
         {"Setup.ini:4: warning: Version \"1.10\" is compared as text: it counts as lower than "
          "MinimumVersionNr \"1.9\" [version-text]"},
         false},
        {"an update check without uninstall entry",
         "",
         {{"SoftwareKey=Muster", "Programm=x"}},
         {},
         {"Setup.ini:9: error: the update check needs [Registry] SoftwareKey to find the installed "
          "product [update-incomplete]"},
         true},
        {"a logo and an info text",
         "",
         {{"Auswahl=1\r\n",
           "Auswahl=1\r\nLogo=Logo.jpg\r\n[Infodatei]\r\nAnzeigen=2\r\nDateiname=Info.txt\r\n"}},
         {},
         {"Setup.ini:8: warning: the logo \"Logo.jpg\" is not loaded: the installer shows .bmp, "
          ".ico, .wmf and .emf only [logo-format]",
          "Setup.ini:11: error: the info file \"Info.txt\" is not on the medium [info-missing]"},
         true},
        {"diskette lists beside [Dateien]",
         "",
         {{"[ShortCuts]", "[Diskette1]\r\nMuster.exe=@@INSTDIR@@\r\n[ShortCuts]"}},
         {},
         {"Setup.ini:20: warning: [Diskette1] is not read: the diskette lists count only when "
          "[Dateien] is empty [diskettes-ignored]"},
         false},
        {"a UTF-8 script",
         "",
         {{"Firma=Muster GmbH", "Firma=M\xC3\xBCller GmbH"}},
         {},
         {"Setup.ini:2: error: the script is UTF-8 without a byte-order mark; the installer reads "
          "it as Windows-1252 [script-utf8]"},
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.problem);
        testing::EmulatedWindows windows;
        windows.WriteFile("D:\\Setup.ini", Replaced(row));
        auto files = BaseFiles();
        for (const auto& [name, bytes] : row.files) {
            if (bytes) {
                files[name] = *bytes;
            } else {
                files.erase(name);
            }
        }
        for (const auto& [name, bytes] : files) {
            windows.WriteFile("D:\\" + name, bytes);
        }
        CheckOptions options;
        options.spelling = [&windows](std::string_view path) -> std::optional<std::string> {
            const auto host = windows.Os().HostPath(path);
            if (!host) {
                return std::nullopt;
            }
            return platform::posix::Utf8ToCp1252(host->filename().string());
        };
        const auto found = CheckMedium("D:\\", options);
        std::vector<std::string> lines;
        for (const Diagnostic& d : found) {
            lines.push_back(FormatDiagnostic(d));
        }
        EXPECT_EQ(lines, row.expected);
        EXPECT_EQ(HasError(found), row.fails);
    }
}

// The diskettes of a medium: the uninstaller on the first and on the last, each
// file on the diskette whose list names it, targets of diskette lists ignored.
TEST(MediumCheck, Diskettes) {
    testing::EmulatedWindows windows;
    windows.WriteFile("D:\\Diskette 1\\Setup.ini",
                      "[ProgInfos]\r\nName=Muster\r\nUninstaller=Uninstall.exe\r\n"
                      "[Disketten]\r\nAnzahl=2\r\n"
                      "[Diskette1]\r\nEins.txt=\r\n"
                      "[Diskette2]\r\nZwei.txt=@@INSTDIR@@Daten\\\r\nDrei.txt=\r\n"
                      "[Diskette3]\r\nVier.txt=\r\n");
    windows.WriteFile("D:\\Diskette 1\\Uninstall.exe", "MZ");
    windows.WriteFile("D:\\Diskette 1\\Eins.txt", "1");
    windows.WriteFile("D:\\Diskette 2\\Zwei.txt", "2");
    windows.WriteFile("D:\\Diskette 2\\Drei.txt", "3");
    std::vector<std::string> lines;
    for (const Diagnostic& d : CheckMedium("D:\\")) {
        lines.push_back(FormatDiagnostic(d));
    }
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Setup.ini:3: error: the uninstaller \"Uninstall.exe\" is not on the last "
                  "diskette, where the installer places it from [uninstaller-diskettes]",
                  "Setup.ini:9: warning: the target \"@@INSTDIR@@Daten\\\" is ignored: files "
                  "of diskette lists go to the installation folder [diskette-target]",
                  "Setup.ini:11: warning: [Diskette3] is not read: [Disketten] Anzahl is 2 "
                  "[diskette-count]"}));
}

// The diskette folders of a medium: numbered from 1 without a gap, spelt with or
// without a space and in any letter case; a file of that name is no diskette.
TEST(MediumCheck, DisketteFolders) {
    struct FolderRow {
        const char* name;
        std::vector<std::string> folders;
        std::vector<std::string> files;
        std::vector<std::string> expected;
    };
    const std::vector<FolderRow> rows = {
        {"none", {}, {"Setup.ini"}, {}},
        {"both spellings",
         {"Diskette 1", "Diskette2"},
         {},
         {"D:\\Diskette 1\\", "D:\\Diskette2\\"}},
        {"a gap ends them", {"Diskette 1", "Diskette 3"}, {}, {"D:\\Diskette 1\\"}},
        {"letter case", {"DISKETTE 1"}, {}, {"D:\\Diskette 1\\"}},
        {"spaced first", {"Diskette 1", "Diskette1"}, {}, {"D:\\Diskette 1\\"}},
        {"a file", {}, {"Diskette 1", "Diskette1"}, {}},
    };
    for (const FolderRow& row : rows) {
        SCOPED_TRACE(row.name);
        testing::EmulatedWindows windows;
        for (const std::string& folder : row.folders) {
            windows.MakeFolder("D:\\" + folder);
        }
        for (const std::string& file : row.files) {
            windows.WriteFile("D:\\" + file, "x");
        }
        EXPECT_EQ(DisketteFolders("D:\\"), row.expected);
    }
}

}  // namespace
}  // namespace setup::medium
