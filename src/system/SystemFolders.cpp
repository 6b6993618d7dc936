#include "system/SystemFolders.h"

#include "platform/Os.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup {

std::string WindowsFolder() {
    return AddTrailingBackslash(platform::CurrentOs().System().WindowsFolder());
}

std::string SystemFolder() {
    return AddTrailingBackslash(platform::CurrentOs().System().SystemFolder());
}

std::string CurrentVersionFolder(std::string_view valueName) {
    using platform::RegQueryStatus;
    using platform::RegType;
    auto key = platform::CurrentOs().Reg().Open(platform::RegRoot::LocalMachine,
                                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    if (!key) {
        return {};
    }
    auto value = key->Query(valueName);
    if (value.status == RegQueryStatus::ReadFailed) {
        throw SetupError(FormatMessage("Konnte Daten f\xFCr '%s' nicht holen", valueName));
    }
    if (value.status == RegQueryStatus::Missing || value.data.empty()) {
        return {};
    }
    if (value.type != RegType::String && value.type != RegType::ExpandString) {
        throw SetupError(FormatMessage("Ung\xFCltiger Datentyp f\xFCr '%s'", valueName));
    }
    // The text as stored, up to its first NUL; environment references stay as they are.
    std::string text = value.data.substr(0, value.data.find('\0'));
    return AddTrailingBackslash(text);
}

std::optional<std::string> ShellFolderPath(int csidl) {
    auto path = platform::CurrentOs().ShellServices().SpecialFolderPath(csidl);
    if (!path) {
        return std::nullopt;
    }
    return AddTrailingBackslash(*path);
}

}  // namespace setup
