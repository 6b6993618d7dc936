// The example sessions of examples/sessions run as scripted on the demo medium
// (those named "sim-" run on their own media through the simulator, as ctests).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "WizardTest.h"
#include "platform/posix/Cp1252.h"
#include "support/SystemSnapshot.h"
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
        if (entry.path().extension() != ".txt" ||
            entry.path().filename().string().starts_with("sim-"))
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        Run(platform::posix::Utf8ToCp1252(ReadHostFile(entry.path())));
        ++sessions;
    }
    EXPECT_GE(sessions, 1);
}

using testing::Snapshot;

class AnswerDefaults final : public uninstall::UninstallUi {
  public:
    int ShowDialog(const MessageDialog& dialog) override {
        texts.push_back(dialog.text);
        return dialog.defaultAnswer;
    }
    std::vector<std::string> texts;
};

// The demo medium installed through the wizard with an uninstaller, then removed
// by the uninstaller from its log: the system is as before, except a file the
// installation overwrote.
struct UninstallCase {
    const char* name;
    const char* existingFile;  // overwritten by the installation ("" for none)
};

class UninstallDemo : public ExampleSessions,
                      public ::testing::WithParamInterface<UninstallCase> {};

TEST_P(UninstallDemo, RestoresTheSystem) {
    const std::string existing = GetParam().existingFile;
    CopyDemoMedium();
    std::string script =
        platform::posix::Utf8ToCp1252(ReadHostFile(kExamples / "demo" / "Setup.ini"));
    script.replace(script.find("[ProgInfos]\n"), 12, "[ProgInfos]\nUninstaller=Uninstall.exe\n");
    windows_.WriteFile("D:\\Setup.ini", script);
    windows_.WriteFile("D:\\Uninstall.exe", "MZ uninstaller");
    if (!existing.empty()) {
        windows_.WriteFile(existing, "old");
    }
    std::map<std::string, std::string> expected = Snapshot(windows_.Root());
    std::string session =
        platform::posix::Utf8ToCp1252(ReadHostFile(kExamples / "sessions" / "demo-install.txt"));
    if (!existing.empty()) {  // "&Ja" to overwriting it as well
        session.replace(session.find("click &Weiter..\nexpect page 2"), 0, "answer &Ja\n");
    }
    Run(session);
    ASSERT_TRUE(windows_.Exists("C:\\WINDOWS\\Uninstall Beispiel.ini"));
    if (!existing.empty()) {  // what the installation wrote over it stays
        const std::string host =
            fs::path(windows_.HostPath(existing)).lexically_relative(windows_.Root()).string();
        expected[host] = Snapshot(windows_.Root())[host];
    }

    windows_.Os().SetProgramPath("C:\\WINDOWS\\Uninstall Beispiel.exe");
    AnswerDefaults ui;
    EXPECT_EQ(uninstall::RunUninstall({}, ui), uninstall::exit_code::kRemoved) << Joined(ui.texts);

    std::map<std::string, std::string> actual = Snapshot(windows_.Root());
    for (const auto& [name, content] : expected) {
        EXPECT_EQ(actual.count(name) ? actual[name] : "<missing>", content) << name;
    }
    for (const auto& [name, content] : actual) {
        EXPECT_TRUE(expected.count(name)) << "left behind: " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, UninstallDemo,
                         ::testing::Values(UninstallCase{"Fresh", ""},
                                           UninstallCase{"FileExisted",
                                                         "C:\\Programme\\Beispiel\\Liesmich.txt"}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace setup::app
