// What an installation leaves on the emulated Windows, for "medium try" to list
// and to compare with the fresh system: every folder and file of drive C: (a
// ".lnk" file as the shortcut it is), and every registry key and value. Names and
// texts are Windows-1252.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/PosixOs.h"

namespace setup::medium {

enum class EntryKind { Folder, File, Shortcut, RegistryKey, RegistryValue };

struct StateEntry {
    EntryKind kind = EntryKind::File;
    std::string shown;    // for the listing: "32 bytes", "-> TARGET", "= "DATA""
    std::string content;  // what tells two versions apart
};

// By the entry's name as the user knows it: "C:\Programme\Beispiel\" (a folder
// ends in a backslash), "HKEY_CLASSES_ROOT\.bsp\@" (the default value).
using SystemState = std::map<std::string, StateEntry>;

// The state of drive C: and of the registry file under the emulated system's root.
SystemState TakeState(platform::PosixOs& os);

struct StateChange {
    std::string name;
    std::optional<StateEntry> before;  // nothing: added
    std::optional<StateEntry> after;   // nothing: removed
};

// What was added, removed or changed from `before` to `after`, by name.
std::vector<StateChange> Changes(const SystemState& before, const SystemState& after);

// "added file C:\x (32 bytes)", "removed registry value HKEY_...\@ (= "A")",
// "changed file C:\x (32 bytes -> 40 bytes)".
std::string DescribeChange(const StateChange& change);

}  // namespace setup::medium
