#include "platform/posix/PosixShell.h"

#include <cstdint>
#include <span>

#include "base/AsciiText.h"
#include "platform/posix/ShellLinkFile.h"

namespace setup::platform::posix {
namespace {

constexpr std::int32_t kOk = 0;
// REGDB_E_CLASSNOTREG, as the component library reports it.
constexpr auto kClassNotRegistered = static_cast<std::int32_t>(0x80040154u);

// The link object: keeps the properties and writes them as a .lnk file.
class PosixShellLink final : public ShellLinkObject {
  public:
    PosixShellLink(FileSystem& files, ShellLinkSupport support)
        : files_(files), support_(support) {}

    std::int32_t CreationResult() const override {
        return support_ == ShellLinkSupport::NotRegistered ? kClassNotRegistered : kOk;
    }
    bool LacksFileInterface() const override {
        return support_ == ShellLinkSupport::NoFileInterface;
    }
    std::int32_t SetPath(std::string_view path) override { return Set(fields_.target, path); }
    std::int32_t SetDescription(std::string_view description) override {
        return Set(fields_.description, description);
    }
    std::int32_t SetWorkingDirectory(std::string_view folder) override {
        return Set(fields_.workingDirectory, folder);
    }

    bool Save(std::string_view fileName) override {
        if (support_ != ShellLinkSupport::Available) {
            return false;
        }
        const std::string bytes = EncodeShellLink(fields_);
        auto file = files_.Open(fileName, OpenMode::CreateWrite);
        if (!file) {
            return false;
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const bool written =
            file->Write(std::span(data, bytes.size())) == static_cast<std::int64_t>(bytes.size());
        if (!file->Close() || !written) {
            // No half-written shortcut stays behind.
            files_.DeleteFile(fileName);
            return false;
        }
        return true;
    }

  private:
    std::int32_t Set(std::string& field, std::string_view value) {
        if (support_ == ShellLinkSupport::NotRegistered) {
            return kClassNotRegistered;
        }
        field = value;
        return kOk;
    }

    FileSystem& files_;
    ShellLinkSupport support_;
    ShellLinkFields fields_;
};

// From the last "." behind the last "\" or ":"; empty without one.
std::string_view Extension(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t separator = path.find_last_of("\\:");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return {};
    }
    return path.substr(dot);
}

}  // namespace

std::unique_ptr<ShellLinkObject> PosixShell::CreateShellLink() {
    return std::make_unique<PosixShellLink>(files_, linkSupport_);
}

std::optional<std::string> PosixShell::SpecialFolderPath(int csidl) {
    auto found = folders_.find(csidl);
    if (found == folders_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PosixShell::SetSpecialFolder(int csidl, std::optional<std::string> path) {
    if (path) {
        folders_[csidl] = std::move(*path);
    } else {
        folders_.erase(csidl);
    }
}

std::intptr_t PosixShell::OpenWithShell(std::string_view path) {
    std::intptr_t result = 0;
    auto configured = openResults_.find(AsciiUpper(path));
    const std::string_view extension = Extension(path);
    if (configured == openResults_.end() && !extension.empty()) {
        configured = openResults_.find(AsciiUpper(extension));
    }
    if (configured != openResults_.end()) {
        result = configured->second;
    } else {
        const std::uint32_t attributes = files_.GetAttributes(path);
        const bool isFile = attributes != attr::kInvalid && (attributes & attr::kDirectory) == 0;
        result = isFile ? kOpenedResult : 2;
    }
    openCalls_.push_back({std::string(path), result});
    return result;
}

void PosixShell::SetOpenResult(std::string_view pathOrExtension,
                               std::optional<std::intptr_t> result) {
    if (result) {
        openResults_[AsciiUpper(pathOrExtension)] = *result;
    } else {
        openResults_.erase(AsciiUpper(pathOrExtension));
    }
}

}  // namespace setup::platform::posix
