#include "UninstallerOs.h"

namespace setup::uninstall {
namespace {

class NoLink final : public platform::ShellLinkObject {
  public:
    std::int32_t CreationResult() const override { return E_NOINTERFACE; }
    bool LacksFileInterface() const override { return false; }
    std::int32_t SetPath(std::string_view) override { return E_NOINTERFACE; }
    std::int32_t SetDescription(std::string_view) override { return E_NOINTERFACE; }
    std::int32_t SetWorkingDirectory(std::string_view) override { return E_NOINTERFACE; }
    bool Save(std::string_view) override { return false; }
};

}  // namespace

std::string NoProfiles::ReadString(std::string_view, std::string_view, std::string_view,
                                   std::string_view defaultValue, std::size_t maxChars) {
    return std::string(defaultValue.substr(0, maxChars));
}

std::unique_ptr<platform::ShellLinkObject> NoShell::CreateShellLink() {
    return std::make_unique<NoLink>();
}

}  // namespace setup::uninstall
