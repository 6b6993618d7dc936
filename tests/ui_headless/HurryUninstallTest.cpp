// The session verbs "hurry" and "uninstall" on the plain example medium
// media/Beispiel: the hurried user's answers, the way through the wizard, and
// the uninstaller started from the uninstall entry in a session of its own.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/WizardTest.h"
#include "system/RegistryValues.h"

namespace setup::app {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgram = "C:\\Programme\\Beispiel\\Beispiel.exe";
constexpr std::string_view kUninstaller = "C:\\WINDOWS\\Uninstall Beispiel.exe";

// A test name of a case's name: its letters and digits.
std::string Identifier(std::string_view name) {
    std::string id;
    for (char c : name) {
        id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return id;
}

bool Holds(const SessionResult& result, std::string_view text) {
    return std::any_of(
        result.transcript.begin(), result.transcript.end(),
        [text](const std::string& line) { return line.find(text) != std::string::npos; });
}

class HurryUninstall : public WizardTest {
  protected:
    void CopyMedium() {
        const fs::path medium = fs::path(SETUP_SOURCE_DIR) / "examples/sessions/media/Beispiel";
        for (const auto& entry : fs::recursive_directory_iterator(medium)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::string name = fs::relative(entry.path(), medium).string();
            std::replace(name.begin(), name.end(), '/', '\\');
            std::ifstream in(entry.path(), std::ios::binary);
            windows_.WriteFile("D:\\" + name, std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
    SessionResult Session(std::string_view script) {
        PosixInput input(windows_.Os());
        return RunSession(script, {}, input);
    }
};

TEST(HurriedAnswer, IsYesElseOkElseTheDefault) {
    const struct {
        DialogButtons buttons;
        int expected;
    } rows[] = {
        {kButtonYes | kButtonNo, answer::kYes},
        {kButtonYes | kButtonNo | kButtonAll, answer::kYes},
        {kButtonYes | kButtonNo | kButtonCancel, answer::kYes},
        {kButtonOk | kButtonCancel, answer::kOk},
        {kButtonOk, answer::kOk},
        {kButtonAbort | kButtonRetry | kButtonIgnore, answer::kRetry},
    };
    for (const auto& row : rows) {
        const MessageDialog dialog =
            MakeMessageDialog("?", DialogKind::Confirmation, row.buttons, "");
        EXPECT_EQ(ui::headless::HurriedAnswer(dialog), row.expected) << row.buttons;
    }
}

// What the medium lacks or the system holds before "hurry", and how it ends.
enum class Before { Nothing, FileMissing, ScriptMissing, OlderFileThere };

struct HurryCase {
    const char* name;
    Before before;
    bool sessionOk;
    bool installOk;
    const char* transcriptHolds;
};

class Hurry : public HurryUninstall, public ::testing::WithParamInterface<HurryCase> {};

TEST_P(Hurry, ThroughTheWizard) {
    const HurryCase& row = GetParam();
    CopyMedium();
    if (row.before == Before::FileMissing) {
        fs::remove(windows_.HostPath("D:\\Liesmich.txt"));
    } else if (row.before == Before::ScriptMissing) {
        fs::remove(windows_.HostPath("D:\\Setup.ini"));
    } else if (row.before == Before::OlderFileThere) {
        windows_.WriteFile("C:\\Programme\\Beispiel\\Liesmich.txt", "alt");
    }
    const SessionResult result = Session("hurry");
    EXPECT_EQ(result.ok, row.sessionOk) << Joined(result.transcript);
    EXPECT_EQ(result.installOk, row.installOk);
    EXPECT_TRUE(Holds(result, row.transcriptHolds)) << Joined(result.transcript);
    if (row.before == Before::OlderFileThere) {
        EXPECT_NE(windows_.ReadFile("C:\\Programme\\Beispiel\\Liesmich.txt"), "alt");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Hurry,
    ::testing::Values(
        HurryCase{"complete", Before::Nothing, true, true, "> click &Beenden (hurry)"},
        // The source prompt is answered "OK" again and again.
        HurryCase{"file missing", Before::FileMissing, false, true,
                  "installer goes round in circles; the last: the dialog \"Die Datei "
                  "\"Liesmich.txt\""},
        // The start-up's message is answered too, and the program ends.
        HurryCase{"script missing", Before::ScriptMissing, true, false,
                  "wurde nicht gefunden! Die Installation wird abgebrochen.\" [OK*] -> OK"},
        // The overwrite question is answered "&Ja": the medium's file replaces it.
        HurryCase{"older file there", Before::OlderFileThere, true, true,
                  "Liesmich.txt: replaced"}),
    [](const auto& tested) { return Identifier(tested.param.name); });

// How the system is prepared after the hurried installation.
enum class Entry { Installed, NotInstalled, NoSoftwareKey, ProgramGone, UnquotedWithArgument };

struct UninstallVerbCase {
    const char* name;
    Entry entry;
    const char* script;
    const char* holds;  // a line of the transcript, or of the failures when the session fails
    bool sessionOk;
    bool installationStays;
};

class UninstallVerb : public HurryUninstall,
                      public ::testing::WithParamInterface<UninstallVerbCase> {};

TEST_P(UninstallVerb, StartsTheEntrysCommand) {
    const UninstallVerbCase& row = GetParam();
    const std::string key = std::string(kUninstallKey) + "Beispiel";
    CopyMedium();
    if (row.entry != Entry::NotInstalled) {
        Run("hurry");
    }
    if (row.entry == Entry::NoSoftwareKey) {
        std::string script = windows_.ReadFile("D:\\Setup.ini");
        script.erase(script.find("SoftwareKey=Beispiel"), 20);
        windows_.WriteFile("D:\\Setup.ini", script);
    } else if (row.entry == Entry::ProgramGone) {
        fs::remove(windows_.HostPath(kUninstaller));
    } else if (row.entry == Entry::UnquotedWithArgument) {
        windows_.Os().SetRegistryString(platform::RegRoot::LocalMachine, key, "UninstallString",
                                        std::string(kUninstaller) + " /TEST");
    }
    const SessionResult result = Session(row.script);
    EXPECT_EQ(result.ok, row.sessionOk) << Joined(result.transcript);
    const auto& lines = row.sessionOk ? result.transcript : result.failures;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&row](const std::string& line) {
        return line.find(row.holds) != std::string::npos;
    })) << Joined(result.transcript);
    // The uninstaller runs alone: the installer is not started.
    EXPECT_FALSE(Holds(result, "start: ")) << Joined(result.transcript);
    EXPECT_EQ(windows_.Exists(kProgram), row.installationStays);
    EXPECT_EQ(windows_.Os().Reg().Open(platform::RegRoot::LocalMachine, key) != nullptr,
              row.installationStays);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UninstallVerb,
    ::testing::Values(
        UninstallVerbCase{"removes", Entry::Installed, "answer &Ja\nanswer OK\nuninstall",
                          "uninstall ended: exit code 0 (removed)", true, false},
        UninstallVerbCase{"test mode", Entry::Installed, "answer &Ja\nanswer OK\nuninstall /test",
                          "(Testmodus!)", true, true},
        UninstallVerbCase{"declined", Entry::Installed, "answer &Nein\nuninstall",
                          "exit code 3 (declined)", true, true},
        UninstallVerbCase{"unknown argument", Entry::Installed, "answer OK\nuninstall /ALLES",
                          "exit code 4 (unknown arguments)", true, true},
        // Unquoted, the path with a blank is found by trying its beginnings.
        UninstallVerbCase{"unquoted command", Entry::UnquotedWithArgument,
                          "answer &Ja\nanswer OK\nuninstall", "(Testmodus!)", true, true},
        UninstallVerbCase{"no entry", Entry::NotInstalled, "uninstall",
                          "there is no uninstall entry", false, false},
        UninstallVerbCase{"no software key", Entry::NoSoftwareKey, "uninstall",
                          "names no uninstall entry", false, true},
        UninstallVerbCase{"program gone", Entry::ProgramGone, "uninstall",
                          "program C:\\WINDOWS\\Uninstall Beispiel.exe does not exist", false,
                          true}),
    [](const auto& tested) { return Identifier(tested.param.name); });

}  // namespace
}  // namespace setup::app
