// The example sessions of examples/sessions run as scripted on the demo medium
// (those named "sim-" run on their own media through the simulator, as ctests;
// those named "build-" on the media `medium build` makes, in tests/medium).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/posix/Cp1252.h"
#include "support/SystemSnapshot.h"
#include "support/WizardTest.h"
#include "system/RegistryValues.h"
#include "uninstall/RunUninstall.h"

namespace setup::app {
namespace {

namespace fs = std::filesystem;
const fs::path kExamples = fs::path(SETUP_SOURCE_DIR) / "examples";

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ExampleSessions : public WizardTest {
  protected:
    // The demo medium as tools/demo.sh builds it: text files in Windows-1252.
    void CopyDemoMedium() {
        const fs::path demo = kExamples / "demo";
        for (const auto& entry : fs::recursive_directory_iterator(demo)) {
            if (!entry.is_regular_file())
                continue;
            std::string name = fs::relative(entry.path(), demo).string();
            std::replace(name.begin(), name.end(), '/', '\\');
            windows_.WriteFile("D:\\" + platform::posix::Utf8ToCp1252(name),
                               platform::posix::Utf8ToCp1252(ReadHostFile(entry.path())));
        }
    }
};

TEST_F(ExampleSessions, RunAsScripted) {
    CopyDemoMedium();
    int sessions = 0;
    for (const auto& entry : fs::directory_iterator(kExamples / "sessions")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".txt" || name.starts_with("sim-") ||
            name.starts_with("build-"))
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        Run(platform::posix::Utf8ToCp1252(ReadHostFile(entry.path())));
        ++sessions;
    }
    EXPECT_GE(sessions, 1);
}

// The system without the medium, which the cases write after taking the state before.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries = testing::Snapshot(root);
    std::erase_if(entries, [](const auto& entry) { return entry.first.starts_with("medium"); });
    return entries;
}

class AnswerDefaults final : public uninstall::UninstallUi {
  public:
    int ShowDialog(const MessageDialog& dialog) override {
        texts.push_back(dialog.text);
        return dialog.defaultAnswer;
    }
    std::vector<std::string> texts;
};

// The program a command line starts, found as CreateProcess finds it: the quoted
// path, or else the shortest blank-separated beginning that names a program
// (".exe" appended).
std::string ProgramOfCommandLine(const testing::EmulatedWindows& windows, std::string_view line) {
    if (line.starts_with('"')) {
        return std::string(line.substr(1, line.find('"', 1) - 1));
    }
    for (std::size_t blank = line.find(' ');; blank = line.find(' ', blank + 1)) {
        std::string program(line.substr(0, blank));
        program += program.ends_with(".exe") ? "" : ".exe";
        if (blank == std::string_view::npos || windows.Exists(program)) {
            return program;
        }
    }
}

// The demo medium installed through the wizard with an uninstaller, a file type
// and an uninstall entry, then removed by the uninstaller that entry starts: the
// system is as before, except a file the installation overwrote.
enum class SecondRun { None, Again, Cancelled };

struct UninstallCase {
    const char* name;
    const char* existingFile = "";  // overwritten by the installation
    SecondRun second = SecondRun::None;
    const char* product = "Beispiel";  // another name: installed beside "Beispiel"
    // The file type of ".bsp" before, the installation's own (none without a
    // command): the uninstaller restores what the log says.
    std::string description = {};
    std::string command = {};
};

class UninstallDemo : public ExampleSessions, public ::testing::WithParamInterface<UninstallCase> {
  protected:
    // Installs the product of that name (program, folder, group, entry); `answers`
    // are queued before the copy page.
    void InstallDemo(const std::string& name, const std::string& answers) {
        auto named = [&name](std::string text) {
            for (std::size_t at = 0; (at = text.find("Beispiel\n", at)) != std::string::npos;) {
                text.replace(at, 8, name);
                at += name.size();
            }
            return text;
        };
        std::string script =
            named(platform::posix::Utf8ToCp1252(ReadHostFile(kExamples / "demo" / "Setup.ini")));
        script.replace(script.find("[ProgInfos]\n"), 12,
                       "[ProgInfos]\nUninstaller=Uninstall.exe\n");
        windows_.WriteFile("D:\\Setup.ini",
                           script +
                               "[Registry]\nDateiErweiterung=.bsp\nDateityp=Beispiel.Dokument\n"
                               "Beschreibung=Beispiel-Dokument\n"
                               "Programm=@@INSTDIR@@Beispiel.txt\nSoftwareKey=" +
                               name + "\n");
        std::string session = named(platform::posix::Utf8ToCp1252(
            ReadHostFile(kExamples / "sessions" / "demo-install.txt")));
        session.replace(session.find("click &Weiter..\nexpect page 2"), 0, answers);
        Run(session);
    }

    int UninstallFromEntry(const std::string& name) {
        auto entry = windows_.Os().Reg().Open(platform::RegRoot::LocalMachine,
                                              std::string(kUninstallKey) + name);
        EXPECT_TRUE(entry);
        const std::string command = entry ? ReadRegistryString(*entry, "UninstallString") : "";
        windows_.Os().SetProgramPath(ProgramOfCommandLine(windows_, command));
        AnswerDefaults ui;
        const int exitCode = uninstall::RunUninstall({}, ui);
        EXPECT_EQ(ui.texts.size(), 2u) << Joined(ui.texts);
        return exitCode;
    }
};

TEST_P(UninstallDemo, RestoresTheSystem) {
    const UninstallCase& c = GetParam();
    const std::string existing = c.existingFile;
    CopyDemoMedium();
    windows_.WriteFile("D:\\Uninstall.exe", "MZ uninstaller");
    windows_.Os().Reg().Create(platform::RegRoot::LocalMachine, kUninstallKey);
    if (!c.command.empty()) {
        using platform::RegRoot;
        const std::string type = "Beispiel.Dokument";
        windows_.Os().SetRegistryString(RegRoot::ClassesRoot, ".bsp", "", type);
        // An empty description is a missing one: the log can't tell them apart.
        if (!c.description.empty()) {
            windows_.Os().SetRegistryString(RegRoot::ClassesRoot, type, "", c.description);
        }
        windows_.Os().SetRegistryString(RegRoot::ClassesRoot, type + "\\shell\\open\\command", "",
                                        c.command);
    }
    if (std::string_view(c.product) != "Beispiel") {
        InstallDemo("Beispiel", "");
    }
    if (!existing.empty()) {
        windows_.WriteFile(existing, "old");
    }
    std::map<std::string, std::string> expected = Snapshot(windows_.Root());
    // "&Ja" to overwriting the existing file.
    InstallDemo(c.product, existing.empty() ? "" : "answer &Ja\n");
    if (c.second == SecondRun::Again) {
        InstallDemo(c.product, "answer &Alles\n");
    } else if (c.second == SecondRun::Cancelled) {
        Run("click &Weiter..\nanswer Abbrechen\nclick &Weiter..\nexpect visible "
            "MsgKopierenAbbruch\nanswer &Ja\nclick &Abbruch\nexpect ended");
    }
    if (!existing.empty()) {  // what the installation wrote over it stays
        const std::string host =
            fs::path(windows_.HostPath(existing)).lexically_relative(windows_.Root()).string();
        expected[host] = Snapshot(windows_.Root())[host];
    }

    EXPECT_EQ(UninstallFromEntry(c.product), uninstall::exit_code::kRemoved);

    std::map<std::string, std::string> actual = Snapshot(windows_.Root());
    for (const auto& [name, content] : expected) {
        EXPECT_EQ(actual.count(name) ? actual[name] : "<missing>", content) << name;
    }
    for (const auto& [name, content] : actual) {
        EXPECT_TRUE(expected.count(name)) << "left behind: " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Systems, UninstallDemo,
    ::testing::Values(
        UninstallCase{"Fresh"},
        UninstallCase{"FileExisted", "C:\\Programme\\Beispiel\\Liesmich.txt"},
        UninstallCase{"InstalledTwice", "", SecondRun::Again, "Beispiel", "Alt", "alt.exe %1"},
        UninstallCase{"SecondRunCancelled", "", SecondRun::Cancelled},
        UninstallCase{"BesideAProductWhoseNameIsAPrefix", "", SecondRun::None, "Beispiel Pro"},
        // Previous values come back byte for byte.
        UninstallCase{"PreviousValuesInQuotesAndBlanks", "", SecondRun::None, "Beispiel",
                      " Alte \"Beispiel\" Dokumente ", "\"C:\\Alt Programm\\alt.exe\" \"%1\""},
        UninstallCase{"PreviousValuesEmptyAndOfFullLength", "", SecondRun::None, "Beispiel", "",
                      std::string(1020, 'C') + " %1"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace setup::app
