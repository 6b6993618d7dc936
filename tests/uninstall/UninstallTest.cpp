// The uninstaller on the emulated Windows: an installation is made by hand with
// its log, as the installer leaves it, then undone headless; drive and registry
// (both under the emulation's root) must be as before, apart from what the
// scenario says stays.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/IniText.h"
#include "support/EmulatedWindows.h"
#include "support/SystemSnapshot.h"
#include "system/IniFile.h"
#include "uninstall/Removal.h"
#include "uninstall/RunUninstall.h"
#include "uninstall/UninstallLog.h"

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
constexpr char kEntry[] = "software\\microsoft\\windows\\currentversion\\uninstall\\Beispiel";
constexpr char kNewType[] = "Beispiel.Datei";

// Answers "Ja" unless told otherwise and keeps every dialog's caption and text.
class RecordingUi final : public UninstallUi {
  public:
    int ShowDialog(const app::MessageDialog& dialog) override {
        captions.push_back(dialog.caption);
        texts.push_back(dialog.text);
        if (answers.empty()) {
            return dialog.defaultAnswer;
        }
        const int next = answers.front();
        answers.pop_front();
        return next;
    }
    std::deque<int> answers;
    std::vector<std::string> captions;
    std::vector<std::string> texts;
};

// The extension ".bsp" before the installation: new, of another type, of the
// type the installation sets, or new while that type exists already.
enum class Extension { New, OfOtherType, OfSameType, NewOfExistingType };

struct Scenario {
    const char* name;
    bool sharedFileExisted = false;
    bool groupExisted = false;
    Extension extension = Extension::New;
    bool userAddsFile = false;
    bool readOnlyFile = false;
    // The type that was there before: its name (unless it is the installed one),
    // description and open command (nullptr: the value is missing).
    const char* oldType = "Alt.Typ";
    const char* oldDescription = "Alte Beschreibung";
    const char* oldCommand = "C:\\Alt\\alt.exe %1";
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
        const bool ownType =
            s.extension == Extension::OfSameType || s.extension == Extension::NewOfExistingType;
        const std::string oldType = ownType ? kNewType : s.oldType;
        if (s.extension == Extension::OfOtherType || s.extension == Extension::OfSameType) {
            SetDefault(".bsp", oldType);
        }
        if (s.extension != Extension::New) {
            ASSERT_TRUE(Reg().Create(RegRoot::ClassesRoot, oldType));
            if (s.oldDescription != nullptr) {
                SetDefault(oldType, s.oldDescription);
            }
            if (s.oldCommand != nullptr) {
                SetDefault(oldType + "\\shell\\open\\command", s.oldCommand);
            }
        }
    }

    // What the installer does, in its order, with the log records it writes.
    void Install() {
        win_.WriteFile(kProgram, "MZ uninstaller");
        log_.WriteString("Programm", "Name", "Beispiel");
        log_.WriteString("Programm", "SoftwareKey", "Beispiel");
        win_.MakeFolder(kInstall);
        log_.WriteBool("Ordner", kInstall, false);
        // Made for a file that then failed: empty, logged after the installation folder.
        win_.MakeFolder(std::string(kInstall) + "Leer\\");
        log_.WriteBool("Ordner", std::string(kInstall) + "Leer\\", false);
        for (const char* file :
             {"Setup.ini", "Beispiel.exe", "Liesmich.txt", "Daten\\Kunden.csv"}) {
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
        // The association, its previous state logged first, values quoted so that
        // they read back byte for byte.
        const std::string previousType = Default(".bsp");
        Log("Dateierweiterung", ".bsp");
        Log("Dateityp", previousType);
        Log("Beschreibung", Default(previousType));
        Log("Programm", Default(previousType + "\\shell\\open\\command"));
        log_.WriteBool("Registry", "IstNeueErweiterung", !Reg().Open(RegRoot::ClassesRoot, ".bsp"));
        log_.WriteBool("Registry", "IstNeuerTyp",
                       Reg().Open(RegRoot::ClassesRoot, previousType) != nullptr);
        Log("NeuerTypName", kNewType);
        const bool typeExisted = Reg().Open(RegRoot::ClassesRoot, kNewType) != nullptr;
        log_.WriteBool("Registry", "NeuerTypVorher", typeExisted);
        if (typeExisted) {
            Log("NeuerTypBeschreibung", Default(kNewType));
            Log("NeuerTypProgramm", Default(std::string(kNewType) + "\\shell\\open\\command"));
        }
        SetDefault(".bsp", kNewType);
        SetDefault(kNewType, "Beispiel-Dokument");
        SetDefault(std::string(kNewType) + "\\shell\\open\\command",
                   "\"C:\\Programme\\Beispiel\\Beispiel.exe\" \"%1\"");
        auto entry = Reg().Create(RegRoot::LocalMachine, kEntry);
        entry->SetString("DisplayName", "Firma Beispiel");
        entry->SetString("UninstallString", "\"" + std::string(kProgram) + "\"");
        log_.WriteString("Registry", "SoftwareKey", "Beispiel");
    }

    // A file the installation made, logged "0".
    void InstallFile(const std::string& path, const std::string& content) {
        const bool existed = win_.Exists(path);
        win_.WriteFile(path, content);
        log_.WriteBool("Dateien", path, existed);
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
    void Log(const char* key, const std::string& value) {
        log_.WriteString("Registry", key, platform::QuotedForProfile(value));
    }

    testing::EmulatedWindows& win_;
    IniFile log_;
    std::string group_;
};

// The uninstaller runs as kProgram; drive N: is a network drive, Q: is none.
class Windows final : public testing::EmulatedWindows {
  public:
    Windows() : EmulatedWindows(Config()) {
        Os().MapDrive('N', Root() / "n");
        Os().SetDriveType('N', platform::DriveType::Remote);
    }

  private:
    static platform::PosixOsConfig Config() {
        auto config = DefaultConfig();
        config.programPath = kProgram;
        return config;
    }
};

int Uninstall(RecordingUi& ui, std::vector<std::string> arguments = {}) {
    return RunUninstall(arguments, ui);
}

bool HasEntry() {
    return platform::CurrentOs().Reg().Open(RegRoot::LocalMachine, kEntry) != nullptr;
}

class RoundTrip : public ::testing::TestWithParam<Scenario> {};

TEST_P(RoundTrip, LeavesTheSystemAsBeforeApartFromWhatMustStay) {
    const Scenario& s = GetParam();
    Windows win;
    Installation installation(win);
    installation.Prepare(s);
    auto expected = Snapshot(win.Root());
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
                      Scenario{"ReadOnlyInstalledFile", false, false, Extension::New, false, true},
                      // Previous values come back byte for byte: blanks and quotes at either
                      // end, missing values; an existing type keeps its key and its values.
                      Scenario{.name = "PreviousTypeWithBlanks",
                               .extension = Extension::OfOtherType,
                               .oldType = " Alter Typ "},
                      Scenario{.name = "SameTypeWithQuotedValues",
                               .extension = Extension::OfSameType,
                               .oldDescription = " \"Alte\" Beschreibung ",
                               .oldCommand = "\"C:\\Alt Programm\\alt.exe\" \"%1\""},
                      Scenario{.name = "SameTypeWithoutValues",
                               .extension = Extension::OfSameType,
                               .oldDescription = nullptr,
                               .oldCommand = nullptr},
                      Scenario{.name = "NewExtensionOfAnExistingType",
                               .extension = Extension::NewOfExistingType,
                               .oldDescription = "'Textdatei'",
                               .oldCommand = "notepad.exe \"%1\""},
                      Scenario{.name = "ExistingTypeWithoutCommand",
                               .extension = Extension::NewOfExistingType,
                               .oldCommand = nullptr}),
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
    Windows win;
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
        BadLog{"NetworkDrive", "Dateien", "N:\\Daten\\x.dll", "0", 0,
               "[Dateien] N:\\Daten\\x.dll=0"},
        BadLog{"DriveThatIsNotThere", "ShortCuts", "Q:\\x.lnk", "0", 0, "[ShortCuts] Q:\\x.lnk=0"},
        BadLog{"DotDot", "Dateien", "C:\\Programme\\Beispiel\\..\\..\\WINDOWS\\win.ini", "0", 0,
               "unzulässigen Eintrag"},
        BadLog{"Wildcard", "Dateien", "C:\\WINDOWS\\*.ini", "0", 0, "unzulässigen Eintrag"},
        BadLog{"RelativePath", "Dateien", "win.ini", "0", 0, "unzulässigen Eintrag"},
        BadLog{"DriveRelativePath", "ShortCuts", "C:win.lnk", "0", 0, "unzulässigen Eintrag"},
        BadLog{"ShortcutThatIsNoShortcut", "ShortCuts", "C:\\WINDOWS\\win.ini", "0", 0,
               "unzulässigen Eintrag"},
        BadLog{"DeviceCon", "Dateien", "C:\\CON", "0", 0, "[Dateien] C:\\CON=0"},
        BadLog{"DeviceNulTxt", "Dateien", "C:\\Programme\\NUL.txt", "0", 0, "NUL.txt=0"},
        BadLog{"DeviceCom1", "Dateien", "C:\\WINDOWS\\COM1", "0", 0, "COM1=0"},
        BadLog{"DeviceAuxLnk", "ShortCuts", "C:\\WINDOWS\\AUX.lnk", "0", 0, "AUX.lnk=0"},
        BadLog{"DeviceLpt1Log", "Dateien", "C:\\LPT1.log", "0", 0, "LPT1.log=0"},
        BadLog{"DeviceAsFolder", "Ordner", "C:\\PRN\\", "0", 0, "[Ordner] C:\\PRN\\=0"},
        BadLog{"ConsoleDevice", "Dateien", "C:\\Programme\\CONIN$", "0", 0, "CONIN$=0"},
        BadLog{"FlagNeitherZeroNorOne", "Dateien", "C:\\WINDOWS\\win.ini", "ja", 0,
               "[Dateien] C:\\WINDOWS\\win.ini=ja"},
        BadLog{"TypeThatIsTheRoot", "Registry", "NeuerTypName", "", 0, "[Registry] NeuerTypName="},
        BadLog{"ExtensionWithAPath", "Registry", "Dateierweiterung", "..\\CLSID", 0,
               "unzulässigen Eintrag"},
        BadLog{"ExistingTypeWithoutItsState", "Registry", "NeuerTypVorher", "1", 0,
               "[Registry] NeuerTypBeschreibung="},
        BadLog{"SoftwareKeyWithAPath", "Registry", "SoftwareKey", "x\\..\\..\\Run", 0,
               "unzulässigen Eintrag"},
        BadLog{"SoftwareKeysThatDiffer", "Programm", "SoftwareKey", "Anderes", 0,
               "[Programm] SoftwareKey=Anderes"},
        BadLog{"CutInTheMiddleOfALine", nullptr, nullptr, nullptr, 5, "unvollständig"},
        BadLog{
            "CutAtTheEndOfALine", nullptr, nullptr, nullptr,
            sizeof("NeuerTypName=Beispiel.Datei\r\nNeuerTypVorher=0\r\nSoftwareKey=Beispiel\r\n") -
                1,
            "[Registry] NeuerTypName="},
        BadLog{"NoProgramName", "Programm", "Name", "", 0, "unvollständig"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(UninstallRun, MissingLogIsReported) {
    Windows win;
    RecordingUi ui;
    EXPECT_EQ(Uninstall(ui), exit_code::kBadLog);
    ASSERT_EQ(ui.texts.size(), 1u);
    EXPECT_NE(ui.texts[0].find(std::string(kLog) + " wurde nicht gefunden."), std::string::npos);
}

TEST(UninstallRun, UnknownArgumentsAreRefusedBeforeAnythingIsTouched) {
    Windows win;
    Installation installation(win);
    installation.Install();
    const auto installed = Snapshot(win.Root());
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"/X"}, {"TEST"}, {"/TEST", "/X"}, {"/ENTFERNE-ORIGINAL"}}) {
        RecordingUi ui;
        EXPECT_EQ(Uninstall(ui, arguments), exit_code::kBadArguments) << arguments.back();
        ASSERT_EQ(ui.texts.size(), 1u);
        EXPECT_NE(ui.texts[0].find(arguments.back()), std::string::npos) << ui.texts[0];
        EXPECT_NE(ui.texts[0].find("Es wurde nichts entfernt."), std::string::npos);
    }
    EXPECT_EQ(Differences(installed, Snapshot(win.Root())), std::vector<std::string>{});
}

TEST(UninstallRun, TestModeAndNoChangeNothingButTheTestListsEveryChange) {
    Windows win;
    Installation installation(win);
    installation.Install();
    // A long path with blanks: the list breaks it only after a backslash.
    installation.InstallFile(
        "C:\\Programme\\Beispiel\\Vorlagen für Geschäftsbriefe und Rechnungen\\Jahresabschluss "
        "2031.txt",
        "");
    const auto installed = Snapshot(win.Root());

    RecordingUi declining;
    declining.answers = {app::answer::kNo};
    EXPECT_EQ(Uninstall(declining), exit_code::kDeclined);
    EXPECT_EQ(declining.texts.size(), 1u);
    EXPECT_EQ(declining.captions, std::vector<std::string>{"Bestätigen"});

    RecordingUi ui;
    EXPECT_EQ(Uninstall(ui, {"/test"}), exit_code::kRemoved);
    EXPECT_EQ(Differences(installed, Snapshot(win.Root())), std::vector<std::string>{});
    ASSERT_EQ(ui.texts.size(), 2u);
    EXPECT_EQ(ui.captions,
              (std::vector<std::string>{"Bestätigen (Testmodus!)", "Information (Testmodus!)"}));
    for (const std::string& action :
         {"Verknüpfung löschen: " + installation.Group() + "Beispiel.lnk",
          std::string("Datei löschen: C:\\Programme\\Beispiel\\Daten\\Kunden.csv"),
          std::string("Datei löschen: C:\\Programme\\Beispiel\\Vorlagen\xA0"
                      "für\xA0Geschäftsbriefe\xA0und\xA0Rechnungen\\\r\n\xA0\xA0\xA0\xA0"
                      "Jahresabschluss\xA0"
                      "2031.txt\r\n"),
          std::string("Ordner entfernen, wenn er leer ist: C:\\Programme\\Beispiel\\Daten\\"),
          std::string("Schlüssel entfernen: HKEY_CLASSES_ROOT\\Beispiel.Datei"),
          std::string("Schlüssel entfernen: HKEY_LOCAL_MACHINE\\") + kEntry,
          std::string("Deinstallationsprogramm löschen: C:\\WINDOWS\\Uninstall\xA0"
                      "Beispiel.exe")}) {
        EXPECT_NE(ui.texts[1].find(action), std::string::npos) << action << "\n" << ui.texts[1];
    }
}

// A log naming a folder as made by the installation (a hostile or mistaken
// one) removes that folder only when it is empty: files it does not name stay,
// the script's name among them.
TEST(UninstallRun, RemovesNothingTheLogDoesNotName) {
    for (const std::string folder : {"C:\\Eigene Dateien\\", "C:\\WINDOWS\\"}) {
        Windows win;
        win.WriteFile(kProgram, "MZ uninstaller");
        win.WriteFile(folder + "Setup.ini", "[Eigenes]\r\n");
        win.WriteFile(kLog, "[Programm]\r\nName=Beispiel\r\n[Ordner]\r\n" + folder + "=0\r\n");
        RecordingUi ui;
        EXPECT_EQ(Uninstall(ui), exit_code::kPartly) << folder;
        EXPECT_EQ(win.ReadFile(folder + "Setup.ini"), "[Eigenes]\r\n") << folder;
    }
}

// Something the installation made stays: the log (with what it still names), the
// uninstall entry and the program stay for a second run, which finishes the job.
TEST(UninstallRun, WhatCantBeRemovedIsReportedAndASecondRunFinishesTheJob) {
    const std::string blockedFile = std::string(kInstall) + "Liesmich.txt";
    const std::string blockedEntry = std::string(kEntry) + "\\Anderes";
    for (const bool fileBlocked : {true, false}) {
        Windows win;
        Installation installation(win);
        const auto before = Snapshot(win.Root());
        installation.Install();
        // A logged file that can't be deleted: a folder stands at its path; an
        // entry that can't be removed: it has a subkey.
        if (fileBlocked) {
            std::filesystem::remove(win.HostPath(blockedFile));
            win.MakeFolder(blockedFile);
        } else {
            platform::CurrentOs().Reg().Create(RegRoot::LocalMachine, blockedEntry);
        }

        RecordingUi first;
        EXPECT_EQ(Uninstall(first), exit_code::kPartly);
        ASSERT_EQ(first.texts.size(), 2u);
        const std::string blocked =
            fileBlocked ? blockedFile : "HKEY_LOCAL_MACHINE\\" + std::string(kEntry);
        EXPECT_NE(first.texts[1].find(blocked + " (konnte nicht"), std::string::npos)
            << first.texts[1];
        EXPECT_NE(first.texts[1].find("Die Deinstallation bleibt eingerichtet"), std::string::npos);
        EXPECT_FALSE(win.Exists(std::string(kInstall) + "Beispiel.exe"));  // the rest went on
        EXPECT_TRUE(win.Exists(kProgram));
        EXPECT_TRUE(HasEntry());
        const platform::IniText left(win.ReadFile(kLog));
        EXPECT_EQ(left.Keys("Dateien"),
                  fileBlocked ? std::vector<std::string>{blockedFile} : std::vector<std::string>{});
        EXPECT_EQ(left.Find("Programm", "SoftwareKey"), "Beispiel");
        EXPECT_EQ(left.Find("Registry", "NeuerTypName"), std::nullopt);  // undone, not named

        if (fileBlocked) {
            std::filesystem::remove(win.HostPath(blockedFile));
        } else {
            platform::CurrentOs().Reg().DeleteKey(RegRoot::LocalMachine, blockedEntry);
        }
        RecordingUi second;
        EXPECT_EQ(Uninstall(second), exit_code::kRemoved) << second.texts.back();
        EXPECT_EQ(Differences(before, Snapshot(win.Root())), std::vector<std::string>{});
    }
}

// A key the installation made that others have added to since stays with their
// entries; the run is not called complete, but needs no second run.
TEST(UninstallRun, AKeyThatHoldsOthersEntriesIsNamedAndTheRunNotCalledComplete) {
    Windows win;
    Installation installation(win);
    installation.Install();
    platform::CurrentOs().Reg().Create(RegRoot::ClassesRoot, ".bsp\\OpenWithProgids");

    RecordingUi ui;
    EXPECT_EQ(Uninstall(ui), exit_code::kPartly);
    ASSERT_EQ(ui.texts.size(), 2u);
    EXPECT_EQ(ui.texts[1].find("vollständig"), std::string::npos) << ui.texts[1];
    EXPECT_NE(ui.texts[1].find("HKEY_CLASSES_ROOT\\.bsp (enthält noch Einträge anderer Programme)"),
              std::string::npos)
        << ui.texts[1];
    EXPECT_EQ(ReadDefaultValue(RegRoot::ClassesRoot, ".bsp"), "");
    EXPECT_FALSE(HasEntry());
    EXPECT_FALSE(win.Exists(kLog));
}

// However the log was cut off at a line end, the run either refuses it or leaves
// no uninstall entry that points at a deleted program.
TEST(UninstallRun, EveryCutAtALineEndIsRefusedOrLeavesNoEntryWithoutItsProgram) {
    std::string whole;
    {
        Windows win;
        Installation(win).Install();
        whole = win.ReadFile(kLog);
    }
    std::size_t accepted = 0;
    for (std::size_t end = whole.find('\n'); end != std::string::npos;
         end = whole.find('\n', end + 1)) {
        Windows win;
        Installation(win).Install();
        win.WriteFile(kLog, whole.substr(0, end + 1));
        RecordingUi ui;
        if (Uninstall(ui) != exit_code::kBadLog) {
            ++accepted;
            EXPECT_TRUE(!HasEntry() || win.Exists(kProgram)) << whole.substr(0, end + 1);
        }
    }
    EXPECT_GT(accepted, 1u);
}

TEST(UninstallLogRead, AHundredThousandEntriesAreReadInOnePass) {
    Windows win;
    std::string log =
        "[Programm]\r\nName=Beispiel\r\n[Ordner]\r\nC:\\Programme\\Beispiel\\=0\r\n[Dateien]\r\n";
    constexpr std::size_t kEntries = 100'000;
    for (std::size_t i = 0; i < kEntries; ++i) {
        log += "C:\\Programme\\Beispiel\\Daten\\Datei" + std::to_string(i) + ".txt=0\r\n";
    }
    win.WriteFile(kLog, log);
    const auto start = std::chrono::steady_clock::now();
    const LogReadResult read = ReadUninstallLog(kLog);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(read.log);
    EXPECT_EQ(read.log->files.size(), kEntries);
    EXPECT_EQ(read.log->files.back().path, "C:\\Programme\\Beispiel\\Daten\\Datei99999.txt");
    // Read entry by entry, as before, this took hours.
    EXPECT_LT(elapsed, std::chrono::seconds(20));
}

}  // namespace
}  // namespace setup::uninstall
