// The Registry interface over the emulated registry's store.
#pragma once

#include "platform/Os.h"
#include "platform/posix/RegistryStore.h"

namespace setup::platform::posix {

class PosixRegistry final : public Registry {
  public:
    explicit PosixRegistry(RegistryStore& store) : store_(store) {}

    std::unique_ptr<RegistryKey> Open(RegRoot root, std::string_view subKey) override;
    std::unique_ptr<RegistryKey> Create(RegRoot root, std::string_view subKey) override;
    bool DeleteKey(RegRoot root, std::string_view subKey) override;

    // While read-only, keys open for reading only: creating keys and setting values
    // fail, as for a user without administrator rights.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

  private:
    RegistryStore& store_;
    bool readOnly_ = false;
};

}  // namespace setup::platform::posix
