#include "platform/posix/PosixRegistry.h"

namespace setup::platform::posix {
namespace {

class PosixRegistryKey final : public RegistryKey {
  public:
    PosixRegistryKey(RegistryStore& store, RegRoot root, std::string path, bool writable)
        : store_(store), root_(root), path_(std::move(path)), writable_(writable) {}

    RegValue Query(std::string_view valueName) override {
        RegValue result;
        auto stored = store_.GetValue(root_, path_, valueName);
        if (!stored) {
            return result;
        }
        result.type = stored->type;
        if (stored->unreadable) {
            result.status = RegQueryStatus::ReadFailed;
            return result;
        }
        result.status = RegQueryStatus::Ok;
        result.data = stored->data;
        return result;
    }

    bool SetString(std::string_view valueName, std::string_view value) override {
        if (!writable_) {
            return false;
        }
        // Stored as RegSetValueExA stores a REG_SZ: with its terminating NUL.
        std::string data(value);
        data += '\0';
        return store_.SetValue(root_, path_, valueName, RegType::String, data);
    }

    bool DeleteValue(std::string_view valueName) override {
        return writable_ && store_.RemoveValue(root_, path_, valueName);
    }

    bool IsEmpty() override {
        return !store_.HasValues(root_, path_) && !store_.HasSubKeys(root_, path_);
    }

    bool HasSubKeys() override { return store_.HasSubKeys(root_, path_); }

  private:
    RegistryStore& store_;
    RegRoot root_;
    std::string path_;
    bool writable_;
};

}  // namespace

std::unique_ptr<RegistryKey> PosixRegistry::Open(RegRoot root, std::string_view subKey) {
    if (!store_.KeyExists(root, subKey)) {
        return nullptr;
    }
    return std::make_unique<PosixRegistryKey>(store_, root, std::string(subKey), !readOnly_);
}

std::unique_ptr<RegistryKey> PosixRegistry::Create(RegRoot root, std::string_view subKey) {
    if (readOnly_) {
        return store_.KeyExists(root, subKey) ? Open(root, subKey) : nullptr;
    }
    if (!store_.CreateKey(root, subKey)) {
        return nullptr;
    }
    return std::make_unique<PosixRegistryKey>(store_, root, std::string(subKey), true);
}

bool PosixRegistry::DeleteKey(RegRoot root, std::string_view subKey) {
    if (readOnly_ || !store_.KeyExists(root, subKey) || store_.HasSubKeys(root, subKey)) {
        return false;
    }
    return store_.RemoveKey(root, subKey);
}

}  // namespace setup::platform::posix
