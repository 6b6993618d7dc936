#include "system/RegistryValues.h"

#include "base/ReservedNames.h"
#include "system/Error.h"

namespace setup {

std::string ReadRegistryString(platform::RegistryKey& key, std::string_view name) {
    using platform::RegQueryStatus;
    using platform::RegType;
    auto value = key.Query(name);
    if (value.status == RegQueryStatus::Missing || value.data.empty()) {
        return {};
    }
    if (value.status == RegQueryStatus::ReadFailed) {
        throw SetupError(FormatMessage("Konnte Daten f\xFCr '%s' nicht holen", name));
    }
    if (value.type != RegType::String && value.type != RegType::ExpandString) {
        throw SetupError(FormatMessage("Ung\xFCltiger Datentyp f\xFCr '%s'", name));
    }
    return value.data.substr(0, value.data.find('\0'));
}

void WriteRegistryString(platform::RegRoot root, std::string_view key, std::string_view name,
                         std::string_view value) {
    auto opened = platform::CurrentOs().Reg().Create(root, FromRoot(key));
    if (!opened || !opened->SetString(name, value)) {
        throw SetupError(FormatMessage("Konnte Daten f\xFCr '%s' nicht setzen", name));
    }
}

bool IsSingleKeyName(std::string_view name) {
    constexpr std::size_t kMaxKeyName = 255;
    return !name.empty() && name.size() <= kMaxKeyName && name != "." && name != ".." &&
           name.find_first_of("\\*?") == std::string_view::npos && !HasControlCharacter(name);
}

std::string_view FromRoot(std::string_view key) {
    if (key.starts_with('\\')) {
        key.remove_prefix(1);
    }
    return key;
}

}  // namespace setup
