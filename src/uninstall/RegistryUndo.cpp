#include "uninstall/RegistryUndo.h"

#include <array>
#include <string>

#include "system/PathHelpers.h"

namespace setup::uninstall {
namespace {

using platform::RegRoot;

constexpr std::string_view kCommandPath = "\\shell\\open\\command";

// Removes a key the installation made. When others have added subkeys since,
// those stay and only the installation's default value goes; the key is named
// as staying. Without subkeys, a key that stays is a failure.
void RemoveOwnKey(std::string_view key, Removal& removal) {
    const bool others = HasSubKeys(RegRoot::ClassesRoot, key);
    if (!removal.RemoveKey(RegRoot::ClassesRoot, key, !others) && others &&
        removal.SetDefaultValue(RegRoot::ClassesRoot, key, "")) {
        removal.Kept(KeyDisplayName(RegRoot::ClassesRoot, key) +
                     " (enth\xE4lt noch Eintr\xE4ge anderer Programme)");
    }
}

void UndoExtension(const LoggedAssociation& a, Removal& removal) {
    const std::optional<std::string> current = ReadDefaultValue(RegRoot::ClassesRoot, a.extension);
    // Removed or emptied since, or set back by an earlier run: nothing of ours is left.
    if (!current || current->empty() ||
        (!a.extensionWasNew && EqualsNoCase(*current, a.previousType))) {
        return;
    }
    if (!EqualsNoCase(*current, a.newType)) {
        removal.Kept(KeyDisplayName(RegRoot::ClassesRoot, a.extension) +
                     " (verweist inzwischen auf einen anderen Dateityp)");
        return;
    }
    if (a.extensionWasNew) {
        RemoveOwnKey(a.extension, removal);
    } else {
        removal.SetDefaultValue(RegRoot::ClassesRoot, a.extension, a.previousType);
    }
}

// The keys of a type's open command, innermost first.
std::array<std::string, 3> CommandKeys(std::string_view type) {
    const std::string base(type);
    return {base + std::string(kCommandPath), base + "\\shell\\open", base + "\\shell"};
}

void UndoType(const LoggedAssociation& a, Removal& removal) {
    const auto commandKeys = CommandKeys(a.newType);
    // The installed type existed before: the log tells its state, or, in older
    // logs, it was the extension's previous type, whose state the log tells.
    const bool wasPreviousType =
        a.previousTypeExisted && !a.previousType.empty() && EqualsNoCase(a.newType, a.previousType);
    if (a.newTypeExisted || wasPreviousType) {
        const std::string& description =
            a.newTypeExisted ? a.newTypeDescription : a.previousDescription;
        const std::string& command = a.newTypeExisted ? a.newTypeCommand : a.previousCommand;
        removal.SetDefaultValue(RegRoot::ClassesRoot, a.newType, description);
        removal.SetDefaultValue(RegRoot::ClassesRoot, commandKeys[0], command);
        if (command.empty()) {
            // The command key may well be the installation's own.
            for (const std::string& key : commandKeys) {
                removal.RemoveKeyIfEmpty(RegRoot::ClassesRoot, key);
            }
        }
        return;
    }
    const std::size_t failures = removal.Failures();
    RemoveOwnKey(commandKeys[0], removal);
    removal.RemoveKeyIfEmpty(RegRoot::ClassesRoot, commandKeys[1]);
    removal.RemoveKeyIfEmpty(RegRoot::ClassesRoot, commandKeys[2]);
    // While a command key of its own stays, the type stays whole for a second run
    // (its subkeys are no others').
    if (removal.Failures() == failures) {
        RemoveOwnKey(a.newType, removal);
    }
}

}  // namespace

void UndoAssociation(const LoggedAssociation& association, Removal& removal) {
    UndoExtension(association, removal);
    UndoType(association, removal);
}

bool RemoveUninstallEntry(std::string_view softwareKey, Removal& removal) {
    return removal.RemoveKey(RegRoot::LocalMachine,
                             std::string(kUninstallKeyBase) + std::string(softwareKey), true);
}

}  // namespace setup::uninstall
