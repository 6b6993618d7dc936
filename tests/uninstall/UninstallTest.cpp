// The uninstaller on the emulated Windows: an installation is made by hand with
// its log, as the installer leaves it, then undone headless; drive and registry
// (both under the emulation's root) must be as before, apart from what the
// scenario says stays.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/EmulatedWindows.h"
#include "support/SystemSnapshot.h"
#include "system/IniFile.h"
#include "uninstall/RunUninstall.h"

namespace setup::uninstall {
namespace {

using platform::RegRoot;
using testing::Differences;
using testing::Snapshot;

constexpr char kProgram[] = "C:\\WINDOWS\\Uninstall Beispiel.exe";
constexpr char kLog[] = "C:\\WINDOWS\\Uninstall Beispiel.ini";
constexpr char kInstall[] = "C:\\Programme\\Beispiel\\";
constexpr char kShared[] = "C:\\WINDOWS\\SYSTEM32\\BSPHILFE.DLL";
constexpr char kUserFile[] = "C:\\Programme\\Beispiel\\Daten\\Eigene.csv";
constexpr char kUninstallKey[] = "software\\microsoft\\windows\\currentversion\\uninstall";

// Answers "Ja" unless told otherwise and keeps every dialog's text.
class RecordingUi final : public UninstallUi {
  public:
    int ShowDialog(const app::MessageDialog& dialog) override {
        texts.push_back(dialog.text);
        if (answers.empty()) {
            return dialog.defaultAnswer;
        }
        const int next = answers.front();
        answers.pop_front();
        return next;
    }
    std::deque<int> answers;
    std::vector<std::string> texts;
};

enum class Extension { New, OfOtherType, OfSameType };

struct Scenario {
    const char* name;
    bool sharedFileExisted = false;
    bool groupExisted = false;
    Extension extension = Extension::New;
    bool userAddsFile = false;
    bool readOnlyFile = false;
};

class Installation {
  public:
    explicit Installation(testing::EmulatedWindows& win) : win_(win), log_(kLog) {
        group_ = *win.Os().ShellServices().SpecialFolderPath(platform::csidl::kPrograms) +
                 "\\Beispiel\\";
        Reg().Create(RegRoot::LocalMachine, kUninstallKey);  // there on every system
    }

    const std::string& Group() const { return group_; }

    void Prepare(const Scenario& s) {
        if (s.sharedFileExisted) {
            win_.WriteFile(kShared, "old shared library");
        }
        if (s.groupExisted) {
            win_.WriteFile(group_ + "Anderes.lnk", "L other shortcut");
        }
        const char* oldType = s.extension == Extension::OfSameType ? "Beispiel.Datei" : "Alt.Typ";
        if (s.extension != Extension::New) {
            SetDefault(".bsp", oldType);
            SetDefault(oldType, "Alte Beschreibung");
            SetDefault(std::string(oldType) + "\\shell\\open\\command", "C:\\Alt\\alt.exe %1");
        }
    }

    // What the installer does, in its order, with the log records it writes.
    void Install() {
        win_.WriteFile(kProgram, "MZ uninstaller");
        log_.WriteString("Programm", "Name", "Beispiel");
        win_.MakeFolder(kInstall);
        log_.WriteBool("Ordner", kInstall, false);
        win_.WriteFile(std::string(kInstall) + "Setup.ini", "[ProgInfos]\r\n");
        for (const char* file : {"Beispiel.exe", "Liesmich.txt", "Daten\\Kunden.csv"}) {
            InstallFile(std::string(kInstall) + file, file);
        }
        InstallFile(kShared, "new shared library");
        const bool groupExisted = win_.Exists(group_);
        win_.MakeFolder(group_);
        log_.WriteBool("ProgGruppe", group_, groupExisted);
        for (const char* link : {"Beispiel.lnk", "Uninstall Beispiel.lnk"}) {
            log_.WriteBool("ShortCuts", group_ + link, false);
            win_.WriteFile(group_ + link, "L shortcut");
        }
        // The association, its previous state logged first.
        const std::string previousType = Default(".bsp");
        log_.WriteString("Registry", "Dateierweiterung", ".bsp");
        log_.WriteString("Registry", "Dateityp", previousType);
        log_.WriteString("Registry", "Beschreibung", Default(previousType));
        log_.WriteString("Registry", "Programm", Default(previousType + "\\shell\\open\\command"));
        log_.WriteBool("Registry", "IstNeueErweiterung", !Reg().Open(RegRoot::ClassesRoot, ".bsp"));
        log_.WriteBool("Registry", "IstNeuerTyp",
                       Reg().Open(RegRoot::ClassesRoot, previousType) != nullptr);
        log_.WriteString("Registry", "NeuerTypName", "Beispiel.Datei");
        SetDefault(".bsp", "Beispiel.Datei");
        SetDefault("Beispiel.Datei", "Beispiel-Dokument");
        SetDefault("Beispiel.Datei\\shell\\open\\command",
                   "C:\\Programme\\Beispiel\\Beispiel.exe %1");
        auto entry = Reg().Create(RegRoot::LocalMachine, std::string(kUninstallKey) + "\\Beispiel");
        entry->SetString("DisplayName", "Firma Beispiel");
        entry->SetString("UninstallString", kProgram);
        log_.WriteString("Registry", "SoftwareKey", "Beispiel");
    }

    void UseAfterwards(const Scenario& s) {
        if (s.userAddsFile) {
            win_.WriteFile(kUserFile, "the user's own data");
        }
        if (s.readOnlyFile) {
            win_.Os().Files().SetAttributes(std::string(kInstall) + "Liesmich.txt",
                                            platform::attr::kReadOnly);
        }
    }

  private:
    static platform::Registry& Reg() { return platform::CurrentOs().Reg(); }
    static void SetDefault(const std::string& key, const std::string& value) {
        ASSERT_TRUE(Reg().Create(RegRoot::ClassesRoot, key)->SetString("", value));
    }
    static std::string Default(const std::string& key) {
        auto open = Reg().Open(RegRoot::ClassesRoot, key);
        std::string data = open ? open->Query("").data : "";
        return data.empty() ? data : data.substr(0, data.size() - 1);
    }
    void InstallFile(const std::string& path, const std::string& content) {
        const bool existed = win_.Exists(path);
        win_.WriteFile(path, content);
        log_.WriteBool("Dateien", path, existed);
    }

    testing::EmulatedWindows& win_;
    IniFile log_;
    std::string group_;
};

testing::EmulatedWindows MakeWindows() {
    auto config = testing::EmulatedWindows::DefaultConfig();
    config.programPath = kProgram;
    return testing::EmulatedWindows(config);
}

int Uninstall(RecordingUi& ui, std::vector<std::string> arguments = {}) {
    return RunUninstall(arguments, ui);
}

class RoundTrip : public ::testing::TestWithParam<Scenario> {};

TEST_P(RoundTrip, LeavesTheSystemAsBeforeApartFromWhatMustStay) {
    const Scenario& s = GetParam();
    testing::EmulatedWindows win = MakeWindows();
    Installation installation(win);
    installation.Prepare(s);
    std::map<std::string, std::string> expected = Snapshot(win.Root());
    installation.Install();
    installation.UseAfterwards(s);

    RecordingUi ui;
    const int exitCode = Uninstall(ui);

    if (s.sharedFileExisted) {  // overwritten by the installation, and kept
        expected["c/WINDOWS/SYSTEM32/BSPHILFE.DLL"] = "new shared library";
    }
    if (s.userAddsFile) {
        expected["c/Programme/Beispiel"] = "<folder>";
        expected["c/Programme/Beispiel/Daten"] = "<folder>";
        expected["c/Programme/Beispiel/Daten/Eigene.csv"] = "the user's own data";
    }
    EXPECT_EQ(Differences(expected, Snapshot(win.Root())), std::vector<std::string>{});
    ASSERT_EQ(ui.texts.size(), 2u);
    EXPECT_NE(ui.texts[0].find("Programm Beispiel "), std::string::npos) << ui.texts[0];
    if (s.userAddsFile) {
        EXPECT_EQ(exitCode, exit_code::kPartly);
        EXPECT_NE(ui.texts[1].find("C:\\Programme\\Beispiel\\ (enthält noch: Daten\\Eigene.csv)"),
                  std::string::npos)
            << ui.texts[1];
    } else {
        EXPECT_EQ(exitCode, exit_code::kRemoved) << ui.texts[1];
        EXPECT_NE(ui.texts[1].find("vollständig"), std::string::npos) << ui.texts[1];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Installations, RoundTrip,
    ::testing::Values(Scenario{"EverythingNew"}, Scenario{"SharedFileExistedBefore", true},
                      Scenario{"GroupFolderExistedBefore", false, true},
                      Scenario{"ExtensionOfAnotherType", false, false, Extension::OfOtherType},
                      Scenario{"ExtensionOfTheSameType", false, false, Extension::OfSameType},
                      Scenario{"UserAddedAFile", false, false, Extension::New, true},
                      Scenario{"ReadOnlyInstalledFile", false, false, Extension::New, false, true}),
    [](const auto& test) { return std::string(test.param.name); });

// Logs that must be refused as a whole: nothing is touched.
struct BadLog {
    const char* name;
    const char* section;  // an entry added to the good log, or nullptr
    const char* key;
    const char* value;
    std::size_t cutBytes;  // bytes cut off the end of the good log
    const char* message;
};

class RefusedLog : public ::testing::TestWithParam<BadLog> {};

TEST_P(RefusedLog, TouchesNothing) {
    const BadLog& bad = GetParam();
    testing::EmulatedWindows win = MakeWindows();
    Installation installation(win);
    installation.Install();
    win.WriteFile("C:\\WINDOWS\\win.ini", "[windows]\r\n");
    if (bad.section != nullptr) {
        IniFile(kLog).WriteString(bad.section, bad.key, bad.value);
    }
    const std::filesystem::path logHost = win.HostPath(kLog);
    std::filesystem::resize_file(logHost, std::filesystem::file_size(logHost) - bad.cutBytes);
    const auto installed = Snapshot(win.Root());

    RecordingUi ui;
    EXPECT_EQ(Uninstall(ui), exit_code::kBadLog);
    EXPECT_EQ(Differences(installed, Snapshot(win.Root())), std::vector<std::string>{});
    ASSERT_EQ(ui.texts.size(), 1u);
    EXPECT_NE(ui.texts[0].find(bad.message), std::string::npos) << ui.texts[0];
    EXPECT_NE(ui.texts[0].find("Es wurde nichts entfernt."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, RefusedLog,
    ::testing::Values(
        BadLog{"NetworkPath", "Dateien", "\\\\server\\freigabe\\x.dll", "0", 0,
               "[Dateien] \\\\server\\freigabe\\x.dll=0"},
        BadLog{"DotDot", "Dateien", "C:\\Programme\\Beispiel\\..\\..\\WINDOWS\\win.ini", "0", 0,
               "unzulässigen Eintrag"},
        BadLog{"Wildcard", "Dateien", "C:\\WINDOWS\\*.ini", "0", 0, "unzulässigen Eintrag"},
        BadLog{"RelativePath", "Dateien", "win.ini", "0", 0, "unzulässigen Eintrag"},
        BadLog{"DriveRelativePath", "ShortCuts", "C:win.lnk", "0", 0, "unzulässigen Eintrag"},
        BadLog{"ShortcutThatIsNoShortcut", "ShortCuts", "C:\\WINDOWS\\win.ini", "0", 0,
               "unzulässigen Eintrag"},
        BadLog{"FlagNeitherZeroNorOne", "Dateien", "C:\\WINDOWS\\win.ini", "ja", 0,
               "[Dateien] C:\\WINDOWS\\win.ini=ja"},
        BadLog{"TypeThatIsTheRoot", "Registry", "NeuerTypName", "", 0, "[Registry] NeuerTypName="},
        BadLog{"ExtensionWithAPath", "Registry", "Dateierweiterung", "..\\CLSID", 0,
               "unzulässigen Eintrag"},
        BadLog{"SoftwareKeyWithAPath", "Registry", "SoftwareKey", "x\\..\\..\\Run", 0,
               "unzulässigen Eintrag"},
        BadLog{"CutInTheMiddleOfALine", nullptr, nullptr, nullptr, 5, "unvollständig"},
        BadLog{"CutAtTheEndOfALine", nullptr, nullptr, nullptr,
               sizeof("NeuerTypName=Beispiel.Datei\r\nSoftwareKey=Beispiel\r\n") - 1,
               "[Registry] NeuerTypName="},
        BadLog{"NoProgramName", "Programm", "Name", "", 0, "unvollständig"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(UninstallRun, MissingLogIsReported) {
    testing::EmulatedWindows win = MakeWindows();
    RecordingUi ui;
    EXPECT_EQ(Uninstall(ui), exit_code::kBadLog);
    ASSERT_EQ(ui.texts.size(), 1u);
    EXPECT_NE(ui.texts[0].find(std::string(kLog) + " wurde nicht gefunden."), std::string::npos);
}

TEST(UninstallRun, TestModeAndNoChangeNothingButTheTestListsEveryChange) {
    testing::EmulatedWindows win = MakeWindows();
    Installation installation(win);
    installation.Install();
    const auto installed = Snapshot(win.Root());

    RecordingUi declining;
    declining.answers = {app::answer::kNo};
    EXPECT_EQ(Uninstall(declining), exit_code::kDeclined);
    EXPECT_EQ(declining.texts.size(), 1u);

    RecordingUi ui;
    EXPECT_EQ(Uninstall(ui, {"/test"}), exit_code::kRemoved);
    EXPECT_EQ(Differences(installed, Snapshot(win.Root())), std::vector<std::string>{});
    ASSERT_EQ(ui.texts.size(), 2u);
    for (const std::string& action :
         {"Verknüpfung löschen: " + installation.Group() + "Beispiel.lnk",
          std::string("Datei löschen: C:\\Programme\\Beispiel\\Daten\\Kunden.csv"),
          std::string("Ordner entfernen, wenn er leer ist: C:\\Programme\\Beispiel\\Daten\\"),
          std::string("Schlüssel entfernen: HKEY_CLASSES_ROOT\\Beispiel.Datei"),
          std::string("Schlüssel entfernen: HKEY_LOCAL_MACHINE\\") + kUninstallKey + "\\Beispiel",
          std::string("Deinstallationsprogramm löschen: ") + kProgram}) {
        EXPECT_NE(ui.texts[1].find(action), std::string::npos) << action << "\n" << ui.texts[1];
    }
}

TEST(UninstallRun, WhatCantBeRemovedIsReportedAndASecondRunFinishesTheJob) {
    testing::EmulatedWindows win = MakeWindows();
    Installation installation(win);
    const auto before = Snapshot(win.Root());
    installation.Install();
    // A logged file that can't be deleted: a folder stands at its path.
    const std::string blocked = std::string(kInstall) + "Liesmich.txt";
    std::filesystem::remove(win.HostPath(blocked));
    win.MakeFolder(blocked);

    RecordingUi first;
    EXPECT_EQ(Uninstall(first), exit_code::kPartly);
    ASSERT_EQ(first.texts.size(), 2u);
    EXPECT_NE(first.texts[1].find(blocked + " (konnte nicht gelöscht werden)"), std::string::npos)
        << first.texts[1];
    EXPECT_FALSE(win.Exists(std::string(kInstall) + "Beispiel.exe"));  // the rest went on
    EXPECT_TRUE(win.Exists(kLog));                                     // kept for a second run
    EXPECT_TRUE(win.Exists(kProgram));

    std::filesystem::remove(win.HostPath(blocked));
    RecordingUi second;
    EXPECT_EQ(Uninstall(second), exit_code::kRemoved) << second.texts.back();
    EXPECT_EQ(Differences(before, Snapshot(win.Root())), std::vector<std::string>{});
}

}  // namespace
}  // namespace setup::uninstall
