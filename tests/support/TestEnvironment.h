// A system to run contract tests against: natively the emulated Windows rooted in a
// fresh temporary folder, on Windows the real system with a fresh scratch folder.
// The same contract tests run against both, so the emulation is held to behave
// like the real thing.
#pragma once

#include <memory>
#include <string>

#include "platform/Os.h"

namespace setup::testing {

class TestEnvironment {
  public:
    virtual ~TestEnvironment() = default;
    virtual platform::Os& Os() = 0;
    // Windows path of a fresh, empty folder for this test, with trailing backslash.
    virtual std::string ScratchFolder() = 0;
    // A registry key path under HKEY_LOCAL_MACHINE (and one under HKEY_CLASSES_ROOT)
    // that no other test uses; removed or left harmless afterwards.
    virtual std::string ScratchRegistryKey() = 0;
};

// Creates the environment of this platform and installs its Os as the current one
// for the environment's lifetime.
std::unique_ptr<TestEnvironment> MakeTestEnvironment();

}  // namespace setup::testing
