// A system that forwards every call to another one (the emulated Windows in the
// native tests) and counts the calls that change something, per kind. The Nth
// call of one chosen kind fails the way the real API reports a failure (false,
// null, a short write), without changing anything below, so that a test can run
// a scenario cleanly to learn how many calls of each kind it makes, then once
// with each of those calls failing.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/Os.h"

namespace setup::testing {

enum class FaultKind {
    OpenForWriting,  // FileSystem::Open for anything but reading: null
    Write,           // File::Write: half the data written and counted (a full disk), one byte: -1
    Copy,            // FileSystem::CopyFile: false, no target written
    Move,            // FileSystem::MoveFile: false
    Delete,          // FileSystem::DeleteFile and DeleteWhenUnused: false
    SetAttributes,   // FileSystem::SetAttributes: false
    CreateFolder,    // FileSystem::CreateFolder: false
    RemoveFolder,    // FileSystem::RemoveFolder: false
    RegistryCreate,  // Registry::Create: null
    RegistrySet,     // RegistryKey::SetString: false
    RegistryDelete,  // Registry::DeleteKey and RegistryKey::DeleteValue: false
    ProfileWrite,    // ProfileFiles::WriteString and EraseSection: false
    LinkSave,        // ShellLinkObject::Save: false, no file written
};
inline constexpr std::size_t kFaultKinds = 13;

std::string_view FaultKindName(FaultKind kind);

class FaultInjectingOs final : public platform::Os {
  public:
    explicit FaultInjectingOs(platform::Os& inner);
    ~FaultInjectingOs() override;

    // From now on the `nth` call (counted from 1) of `kind` fails; 0 fails none.
    // The counts start again from zero.
    void FailNth(FaultKind kind, std::size_t nth);
    // The calls of a kind since the last FailNth, the failed one included.
    std::size_t Calls(FaultKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    // The planned failure has happened.
    bool Injected() const { return injected_; }
    // Counts the call and tells whether it is the one to fail.
    bool Fails(FaultKind kind);

    platform::ProfileFiles& Profiles() override;
    platform::Registry& Reg() override;
    platform::FileSystem& Files() override;
    platform::SystemInfo& System() override { return inner_.System(); }
    platform::MessageThread& Thread() override { return inner_.Thread(); }
    platform::Shell& ShellServices() override;

  private:
    struct Services;

    platform::Os& inner_;
    std::unique_ptr<Services> services_;
    std::array<std::size_t, kFaultKinds> counts_{};
    FaultKind kind_ = FaultKind::Write;
    std::size_t nth_ = 0;
    bool injected_ = false;
};

}  // namespace setup::testing
