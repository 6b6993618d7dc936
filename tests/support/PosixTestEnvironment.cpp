// The native test environment: an emulated Windows in a fresh temporary folder.
#ifndef _WIN32

#include <string>

#include "support/EmulatedWindows.h"
#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

int g_serial = 0;

class PosixTestEnvironment final : public TestEnvironment {
  public:
    PosixTestEnvironment() : serial_(std::to_string(++g_serial)) {
        windows_.MakeFolder(ScratchFolder());
        // A network drive N:, as the Wine prefix of the tests has one (tools/wine-env.sh).
        windows_.Os().MapDrive('N', windows_.Root() / "n");
        windows_.Os().SetDriveType('N', platform::DriveType::Remote);
    }

    platform::Os& Os() override { return windows_.Os(); }
    std::string ScratchFolder() override { return "C:\\Scratch" + serial_ + "\\"; }
    std::string ScratchRegistryKey() override { return "Software\\SetupContractTest\\" + serial_; }

  private:
    EmulatedWindows windows_;
    std::string serial_;
};

}  // namespace

std::unique_ptr<TestEnvironment> MakeTestEnvironment() {
    return std::make_unique<PosixTestEnvironment>();
}

}  // namespace setup::testing

#endif  // _WIN32
