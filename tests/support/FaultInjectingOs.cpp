#include "support/FaultInjectingOs.h"

namespace setup::testing {
namespace {

using platform::FileSystem;
using platform::OpenMode;
using platform::RegRoot;

class FaultyFile final : public platform::File {
  public:
    FaultyFile(std::unique_ptr<platform::File> inner, FaultInjectingOs& faults)
        : inner_(std::move(inner)), faults_(faults) {}
    std::int64_t Read(std::span<std::uint8_t> buffer) override { return inner_->Read(buffer); }
    std::int64_t Write(std::span<const std::uint8_t> data) override {
        if (!faults_.Fails(FaultKind::Write)) {
            return inner_->Write(data);
        }
        // A full disk: WriteFile takes what still fits and reports that count.
        if (data.size() < 2) {
            return -1;
        }
        return inner_->Write(data.first(data.size() / 2));
    }
    bool Seek(std::uint64_t position) override { return inner_->Seek(position); }
    std::int64_t Size() override { return inner_->Size(); }
    bool SetLastWriteDos(std::uint32_t dosDateTime) override {
        return inner_->SetLastWriteDos(dosDateTime);
    }
    bool Close() override { return inner_->Close(); }

  private:
    std::unique_ptr<platform::File> inner_;
    FaultInjectingOs& faults_;
};

class FaultyFiles final : public FileSystem {
  public:
    FaultyFiles(FileSystem& inner, FaultInjectingOs& faults) : inner_(inner), faults_(faults) {}
    std::optional<platform::FoundEntry> FindFirst(std::string_view pattern) override {
        return inner_.FindFirst(pattern);
    }
    std::uint32_t GetAttributes(std::string_view path) override {
        return inner_.GetAttributes(path);
    }
    bool SetAttributes(std::string_view path, std::uint32_t attributes) override {
        return !faults_.Fails(FaultKind::SetAttributes) && inner_.SetAttributes(path, attributes);
    }
    std::optional<std::uint32_t> ToLocalDosDateTime(platform::FileTime time) override {
        return inner_.ToLocalDosDateTime(time);
    }
    bool SetLastWriteDos(std::string_view path, std::uint32_t dosDateTime) override {
        return inner_.SetLastWriteDos(path, dosDateTime);
    }
    bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override {
        return !faults_.Fails(FaultKind::Copy) && inner_.CopyFile(from, to, failIfExists);
    }
    bool MoveFile(std::string_view from, std::string_view to, bool replaceExisting) override {
        return !faults_.Fails(FaultKind::Move) && inner_.MoveFile(from, to, replaceExisting);
    }
    bool DeleteFile(std::string_view path) override {
        return !faults_.Fails(FaultKind::Delete) && inner_.DeleteFile(path);
    }
    bool CreateFolder(std::string_view path) override {
        return !faults_.Fails(FaultKind::CreateFolder) && inner_.CreateFolder(path);
    }
    bool RemoveFolder(std::string_view path) override {
        return !faults_.Fails(FaultKind::RemoveFolder) && inner_.RemoveFolder(path);
    }
    std::vector<platform::FoundEntry> ListFolder(std::string_view folder) override {
        return inner_.ListFolder(folder);
    }
    bool DeleteWhenUnused(std::string_view path) override {
        return !faults_.Fails(FaultKind::Delete) && inner_.DeleteWhenUnused(path);
    }
    std::string GetCurrentFolder() override { return inner_.GetCurrentFolder(); }
    bool SetCurrentFolder(std::string_view path) override { return inner_.SetCurrentFolder(path); }
    std::unique_ptr<platform::File> Open(std::string_view path, OpenMode mode) override {
        if (mode != OpenMode::Read && faults_.Fails(FaultKind::OpenForWriting)) {
            return nullptr;
        }
        auto file = inner_.Open(path, mode);
        return file ? std::make_unique<FaultyFile>(std::move(file), faults_) : nullptr;
    }
    platform::DriveType DriveTypeOf(char letter) override { return inner_.DriveTypeOf(letter); }
    std::optional<std::array<std::uint16_t, 4>> ReadFileVersion(std::string_view path) override {
        return inner_.ReadFileVersion(path);
    }

  private:
    FileSystem& inner_;
    FaultInjectingOs& faults_;
};

class FaultyKey final : public platform::RegistryKey {
  public:
    FaultyKey(std::unique_ptr<platform::RegistryKey> inner, FaultInjectingOs& faults)
        : inner_(std::move(inner)), faults_(faults) {}
    platform::RegValue Query(std::string_view name) override { return inner_->Query(name); }
    bool SetString(std::string_view name, std::string_view value) override {
        return !faults_.Fails(FaultKind::RegistrySet) && inner_->SetString(name, value);
    }
    bool DeleteValue(std::string_view name) override {
        return !faults_.Fails(FaultKind::RegistryDelete) && inner_->DeleteValue(name);
    }
    bool IsEmpty() override { return inner_->IsEmpty(); }
    bool HasSubKeys() override { return inner_->HasSubKeys(); }

  private:
    std::unique_ptr<platform::RegistryKey> inner_;
    FaultInjectingOs& faults_;
};

class FaultyRegistry final : public platform::Registry {
  public:
    FaultyRegistry(platform::Registry& inner, FaultInjectingOs& faults)
        : inner_(inner), faults_(faults) {}
    std::unique_ptr<platform::RegistryKey> Open(RegRoot root, std::string_view key) override {
        return Wrap(inner_.Open(root, key));
    }
    std::unique_ptr<platform::RegistryKey> Create(RegRoot root, std::string_view key) override {
        return faults_.Fails(FaultKind::RegistryCreate) ? nullptr : Wrap(inner_.Create(root, key));
    }
    bool DeleteKey(RegRoot root, std::string_view key) override {
        return !faults_.Fails(FaultKind::RegistryDelete) && inner_.DeleteKey(root, key);
    }

  private:
    std::unique_ptr<platform::RegistryKey> Wrap(std::unique_ptr<platform::RegistryKey> key) {
        return key ? std::make_unique<FaultyKey>(std::move(key), faults_) : nullptr;
    }
    platform::Registry& inner_;
    FaultInjectingOs& faults_;
};

class FaultyProfiles final : public platform::ProfileFiles {
  public:
    FaultyProfiles(platform::ProfileFiles& inner, FaultInjectingOs& faults)
        : inner_(inner), faults_(faults) {}
    std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t maxChars) override {
        return inner_.ReadString(file, section, key, defaultValue, maxChars);
    }
    std::vector<std::string> ListKeys(std::string_view file, std::string_view section) override {
        return inner_.ListKeys(file, section);
    }
    std::vector<std::string> ListSections(std::string_view file) override {
        return inner_.ListSections(file);
    }
    bool WriteString(std::string_view file, std::string_view section, std::string_view key,
                     std::string_view value) override {
        return !faults_.Fails(FaultKind::ProfileWrite) &&
               inner_.WriteString(file, section, key, value);
    }
    bool EraseSection(std::string_view file, std::string_view section) override {
        return !faults_.Fails(FaultKind::ProfileWrite) && inner_.EraseSection(file, section);
    }

  private:
    platform::ProfileFiles& inner_;
    FaultInjectingOs& faults_;
};

class FaultyLink final : public platform::ShellLinkObject {
  public:
    FaultyLink(std::unique_ptr<platform::ShellLinkObject> inner, FaultInjectingOs& faults)
        : inner_(std::move(inner)), faults_(faults) {}
    std::int32_t CreationResult() const override { return inner_->CreationResult(); }
    bool LacksFileInterface() const override { return inner_->LacksFileInterface(); }
    std::int32_t SetPath(std::string_view path) override { return inner_->SetPath(path); }
    std::int32_t SetDescription(std::string_view text) override {
        return inner_->SetDescription(text);
    }
    std::int32_t SetWorkingDirectory(std::string_view folder) override {
        return inner_->SetWorkingDirectory(folder);
    }
    bool Save(std::string_view fileName) override {
        return !faults_.Fails(FaultKind::LinkSave) && inner_->Save(fileName);
    }

  private:
    std::unique_ptr<platform::ShellLinkObject> inner_;
    FaultInjectingOs& faults_;
};

class FaultyShell final : public platform::Shell {
  public:
    FaultyShell(platform::Shell& inner, FaultInjectingOs& faults)
        : inner_(inner), faults_(faults) {}
    std::unique_ptr<platform::ShellLinkObject> CreateShellLink() override {
        return std::make_unique<FaultyLink>(inner_.CreateShellLink(), faults_);
    }
    std::optional<std::string> SpecialFolderPath(int csidl) override {
        return inner_.SpecialFolderPath(csidl);
    }
    std::intptr_t OpenWithShell(std::string_view path) override {
        return inner_.OpenWithShell(path);
    }

  private:
    platform::Shell& inner_;
    FaultInjectingOs& faults_;
};

}  // namespace

struct FaultInjectingOs::Services {
    Services(platform::Os& inner, FaultInjectingOs& faults)
        : profiles(inner.Profiles(), faults),
          registry(inner.Reg(), faults),
          files(inner.Files(), faults),
          shell(inner.ShellServices(), faults) {}
    FaultyProfiles profiles;
    FaultyRegistry registry;
    FaultyFiles files;
    FaultyShell shell;
};

std::string_view FaultKindName(FaultKind kind) {
    static constexpr std::array<std::string_view, kFaultKinds> kNames = {"open for writing",
                                                                         "write",
                                                                         "copy",
                                                                         "move",
                                                                         "delete",
                                                                         "set attributes",
                                                                         "create folder",
                                                                         "remove folder",
                                                                         "registry create",
                                                                         "registry set",
                                                                         "registry delete",
                                                                         "profile write",
                                                                         "shell link save"};
    return kNames[static_cast<std::size_t>(kind)];
}

FaultInjectingOs::FaultInjectingOs(platform::Os& inner)
    : inner_(inner), services_(std::make_unique<Services>(inner, *this)) {}

FaultInjectingOs::~FaultInjectingOs() = default;

void FaultInjectingOs::FailNth(FaultKind kind, std::size_t nth) {
    kind_ = kind;
    nth_ = nth;
    injected_ = false;
    counts_.fill(0);
}

bool FaultInjectingOs::Fails(FaultKind kind) {
    const std::size_t count = ++counts_[static_cast<std::size_t>(kind)];
    if (kind != kind_ || count != nth_) {
        return false;
    }
    injected_ = true;
    return true;
}

platform::ProfileFiles& FaultInjectingOs::Profiles() {
    return services_->profiles;
}
platform::Registry& FaultInjectingOs::Reg() {
    return services_->registry;
}
platform::FileSystem& FaultInjectingOs::Files() {
    return services_->files;
}
platform::Shell& FaultInjectingOs::ShellServices() {
    return services_->shell;
}

}  // namespace setup::testing
