// String values of the registry as the steps read and write them, with the
// errors that end the action: data of another type, data that can't be read,
// data that can't be written.
#pragma once

#include <string>
#include <string_view>

#include "platform/Os.h"

namespace setup {

// Where the system's software list keeps the uninstall entries (HKEY_LOCAL_MACHINE).
inline constexpr std::string_view kUninstallKey =
    "software\\microsoft\\windows\\currentversion\\uninstall\\";

// A string value up to its first NUL; empty when the value is missing or empty.
// Raises "Ungültiger Datentyp für '%s'" for data of another type than REG_SZ or
// REG_EXPAND_SZ and "Konnte Daten für '%s' nicht holen" when the data can't be
// read although its size could.
std::string ReadRegistryString(platform::RegistryKey& key, std::string_view name);

// Opens (creating as needed) the key and sets a REG_SZ value. A key that can't be
// created or a value that can't be set raises "Konnte Daten für '%s' nicht setzen"
// with the value's name (empty for the default value). A key path that begins
// with a backslash is taken from the root.
void WriteRegistryString(platform::RegRoot root, std::string_view key, std::string_view name,
                         std::string_view value);

// A name that addresses exactly one key right under a root, as the uninstall log
// must record the keys it names: not empty, at most 255 characters, without
// backslash, wildcard ("*" is the key of all files) or control character, and
// not "." or "..".
bool IsSingleKeyName(std::string_view name);

// The key path without one leading backslash: every path is taken from the root.
std::string_view FromRoot(std::string_view key);

}  // namespace setup
