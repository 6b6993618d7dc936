// The example sessions of examples/sessions run as scripted on the demo medium
// (those named "sim-" run on their own media through the simulator, as ctests).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "WizardTest.h"
#include "platform/posix/Cp1252.h"

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

}  // namespace
}  // namespace setup::app
