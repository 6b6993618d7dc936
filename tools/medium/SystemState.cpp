#include "SystemState.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/AsciiText.h"
#include "platform/posix/Cp1252.h"
#include "platform/posix/RegistryStore.h"
#include "platform/posix/ShellLinkFile.h"

namespace setup::medium {
namespace {

namespace fs = std::filesystem;

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

std::string WindowsPath(const fs::path& drive, const fs::path& host) {
    std::string path = "C:";
    for (const fs::path& part : host.lexically_relative(drive)) {
        path += "\\" + platform::posix::Utf8ToCp1252(part.string());
    }
    return path;
}

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AddFiles(platform::PosixOs& os, SystemState& state) {
    const auto drive = os.HostPath("C:\\");
    if (!drive || !fs::is_directory(*drive)) {
        return;
    }
    for (const auto& entry : fs::recursive_directory_iterator(*drive)) {
        const std::string name = WindowsPath(*drive, entry.path());
        if (entry.is_directory()) {
            state[name + "\\"] = {EntryKind::Folder, "", ""};
            continue;
        }
        std::string content = ReadHostFile(entry.path());
        const std::string size = std::to_string(content.size()) + " bytes";
        const bool isLink = EndsWithNoCase(name, ".lnk");
        auto link = isLink ? platform::posix::ReadShortcutFile(os.Files(), name) : std::nullopt;
        if (link) {
            state[name] = {EntryKind::Shortcut, "-> " + link->target, std::move(content)};
        } else {
            state[name] = {EntryKind::File, size, std::move(content)};
        }
    }
}

std::string ShownData(const platform::posix::StoredValue& value) {
    if (value.unreadable) {
        return "(unreadable)";
    }
    if (value.type == platform::RegType::String || value.type == platform::RegType::ExpandString) {
        std::string text = value.data.substr(0, value.data.find('\0'));
        return "= \"" + text + "\"";
    }
    std::string hex = "= hex(" + std::to_string(static_cast<unsigned>(value.type)) + "):";
    for (char c : value.data) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X",
                      static_cast<unsigned>(static_cast<unsigned char>(c)));
        hex += byte;
    }
    return hex;
}

void AddRegistry(const platform::PosixOs& os, SystemState& state) {
    const platform::posix::RegistryStore store(os.Root() / "registry.txt");
    for (const auto& [folded, key] : store.Keys()) {
        state[key.path + "\\"] = {EntryKind::RegistryKey, "", ""};
        for (const auto& value : key.values) {
            const std::string shown = ShownData(value);
            state[key.path + "\\" + (value.name.empty() ? "@" : "\"" + value.name + "\"")] = {
                EntryKind::RegistryValue, shown,
                std::to_string(static_cast<unsigned>(value.type)) + ":" + shown};
        }
    }
}

std::string_view KindName(EntryKind kind) {
    switch (kind) {
        case EntryKind::Folder:
            return "folder";
        case EntryKind::File:
            return "file";
        case EntryKind::Shortcut:
            return "shortcut";
        case EntryKind::RegistryKey:
            return "registry key";
        case EntryKind::RegistryValue:
            return "registry value";
    }
    return "?";
}

}  // namespace

SystemState TakeState(platform::PosixOs& os) {
    SystemState state;
    AddFiles(os, state);
    AddRegistry(os, state);
    return state;
}

std::vector<StateChange> Changes(const SystemState& before, const SystemState& after) {
    std::vector<StateChange> changes;
    for (const auto& [name, entry] : before) {
        auto found = after.find(name);
        if (found == after.end()) {
            changes.push_back({name, entry, std::nullopt});
        } else if (found->second.kind != entry.kind || found->second.content != entry.content) {
            changes.push_back({name, entry, found->second});
        }
    }
    for (const auto& [name, entry] : after) {
        if (!before.contains(name)) {
            changes.push_back({name, std::nullopt, entry});
        }
    }
    std::sort(changes.begin(), changes.end(),
              [](const StateChange& a, const StateChange& b) { return a.name < b.name; });
    return changes;
}

std::string DescribeChange(const StateChange& change) {
    auto detail = [](const StateEntry& entry) {
        return entry.shown.empty() ? std::string() : " (" + entry.shown + ")";
    };
    if (!change.before) {
        return "added " + std::string(KindName(change.after->kind)) + " " + change.name +
               detail(*change.after);
    }
    if (!change.after) {
        return "removed " + std::string(KindName(change.before->kind)) + " " + change.name +
               detail(*change.before);
    }
    const bool sameShown = change.before->shown == change.after->shown;
    return "changed " + std::string(KindName(change.after->kind)) + " " + change.name + " (" +
           change.before->shown + " -> " + change.after->shown +
           (sameShown ? ", other content" : "") + ")";
}

}  // namespace setup::medium
