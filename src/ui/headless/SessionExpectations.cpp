// The "expect" verb of the session language: checks on the window, the
// installation's outcome and, after the copy and shell steps, the emulated
// system (files, the uninstall log, the registry, shortcuts). A check that is
// met says nothing; one that is not fails the session with what was found.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/AsciiText.h"
#include "platform/Os.h"
#include "system/IniFile.h"
#include "system/RegistryValues.h"
#include "ui/headless/ScriptReader.h"
#include "ui/headless/SessionVerbs.h"
#include "ui/headless/Transcript.h"
#include "zip/Crc32.h"

namespace setup::ui::headless {
namespace {

using app::Widget;
using app::WidgetModel;

std::pair<bool, std::string> ExpectFile(bool wanted, std::string_view rest) {
    // Trailing "size N" and "crc X" pairs; the path is what comes before them.
    std::optional<std::int64_t> size;
    std::optional<std::uint32_t> crc;
    std::string_view path = rest;
    for (bool more = wanted; more;) {
        auto valueAt = path.find_last_of(' ');
        auto keyAt =
            valueAt == std::string_view::npos ? valueAt : path.find_last_of(' ', valueAt - 1);
        more = false;
        if (keyAt == std::string_view::npos) {
            break;
        }
        std::string_view key = path.substr(keyAt + 1, valueAt - keyAt - 1);
        std::string value(path.substr(valueAt + 1));
        if (key == "size") {
            size = std::strtoll(value.c_str(), nullptr, 10);
        } else if (key == "crc") {
            crc = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
        } else {
            break;
        }
        path = Trim(path.substr(0, keyAt));
        more = true;
    }
    auto& files = platform::CurrentOs().Files();
    auto file = files.Open(path, platform::OpenMode::Read);
    if (!file) {
        return {!wanted, "no such file"};
    }
    std::int64_t length = 0;
    std::uint32_t sum = 0xFFFFFFFF;
    std::vector<std::uint8_t> buffer(64 * 1024);
    for (std::int64_t n; (n = file->Read(buffer)) > 0; length += n) {
        sum = zip::UpdateCrc32(sum, std::span(buffer).first(static_cast<std::size_t>(n)));
    }
    char hex[9];
    sum = ~sum;
    std::snprintf(hex, sizeof hex, "%08X", sum);
    std::string actual = "size " + std::to_string(length) + " crc " + hex;
    bool met = wanted && (!size || *size == length) && (!crc || *crc == sum);
    return {met, actual};
}

std::pair<bool, std::string> ExpectRegistry(bool wanted, std::string_view rest) {
    auto [rootName, afterRoot] = FirstWord(rest);
    auto [key, afterKey] = FirstWord(afterRoot);
    auto [value, data] = FirstWord(afterKey);
    std::optional<platform::RegRoot> root;
    if (EqualsNoCase(rootName, "HKCR")) {
        root = platform::RegRoot::ClassesRoot;
    } else if (EqualsNoCase(rootName, "HKLM")) {
        root = platform::RegRoot::LocalMachine;
    }
    if (!root || key.empty() || (wanted && value.empty())) {
        return {false, "a line \"expect reg HKCR|HKLM KEY VALUE DATA\""};
    }
    std::string name = value == "@" ? "" : std::string(value);
    auto opened = platform::CurrentOs().Reg().Open(*root, key);
    if (!opened) {
        return {!wanted, "no such key"};
    }
    if (!wanted && value.empty()) {
        return {false, "the key"};
    }
    if (opened->Query(name).status == platform::RegQueryStatus::Missing) {
        return {!wanted, "no such value"};
    }
    try {
        std::string found = ReadRegistryString(*opened, name);
        return {wanted && found == data, "\"" + found + "\""};
    } catch (const std::exception& error) {
        return {false, error.what()};
    }
}

std::pair<bool, std::string> ExpectShortcut(SessionContext& s, std::string_view rest) {
    // "PATH target T [description D] [folder F]": the words mark the parts.
    auto part = [rest](std::string_view word) -> std::optional<std::string_view> {
        std::string marker = " " + std::string(word) + " ";
        auto at = rest.find(marker);
        if (at == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view after = rest.substr(at + marker.size());
        std::size_t end = after.size();
        for (std::string_view next : {" target ", " description ", " folder "}) {
            end = std::min(end, after.find(next));
        }
        return Trim(after.substr(0, end));
    };
    auto target = part("target");
    if (!target) {
        return {false, "a line \"expect shortcut PATH target T ...\""};
    }
    std::string_view path = Trim(rest.substr(0, rest.find(" target ")));
    auto shortcut = s.input.ReadShortcut(path);
    if (!shortcut) {
        return {false, "no shortcut there"};
    }
    auto description = part("description");
    auto folder = part("folder");
    bool met = EqualsNoCase(shortcut->target, *target) &&
               (!description || shortcut->description == *description) &&
               (!folder || EqualsNoCase(shortcut->workingDirectory, *folder));
    return {met, "target " + shortcut->target + " description " + shortcut->description +
                     " folder " + shortcut->workingDirectory};
}

// Checks on the emulated system after the copy and shell steps; nothing
// when `kind` is none of them, else whether it was met and what was found.
std::optional<std::pair<bool, std::string>> ExpectOnSystem(SessionContext& s, std::string_view kind,
                                                           std::string_view rest) {
    if (kind == "file" || kind == "nofile") {
        return ExpectFile(kind == "file", rest);
    }
    if (kind == "folder" || kind == "nofolder") {
        // "nofile" is met by a folder too; this tells them apart.
        const std::uint32_t found = platform::CurrentOs().Files().GetAttributes(rest);
        const bool isFolder =
            found != platform::attr::kInvalid && (found & platform::attr::kDirectory) != 0;
        return std::pair(isFolder == (kind == "folder"), isFolder ? "a folder" : "no folder");
    }
    if (kind == "log" || kind == "nolog") {
        auto [section, afterSection] = FirstWord(rest);
        auto [key, value] = FirstWord(afterSection);
        const std::string& path = s.form.State().UninstallIniPath;
        std::optional<std::string> found;
        if (!path.empty() &&
            platform::CurrentOs().Files().GetAttributes(path) != platform::attr::kInvalid) {
            IniFile log(path);
            for (const std::string& name : log.ReadSectionKeys(section)) {
                if (EqualsNoCase(name, key)) {
                    found = log.ReadString(section, key, "");
                }
            }
        }
        std::string actual = found ? "\"" + *found + "\"" : "no such entry";
        return std::pair(kind == "log" ? found == value : !found, actual);
    }
    if (kind == "reg" || kind == "noreg") {
        return ExpectRegistry(kind == "reg", rest);
    }
    if (kind == "shortcut") {
        return ExpectShortcut(s, rest);
    }
    return std::nullopt;
}

}  // namespace

void Expect(SessionContext& s, std::string_view what, std::string_view) {
    auto [kind, rest] = FirstWord(what);
    const WidgetModel& m = s.form.Model();
    auto [name, afterName] = FirstWord(rest);
    const bool aboutElement = kind == "visible" || kind == "hidden" || kind == "focus" ||
                              kind == "enabled" || kind == "disabled" || kind == "items" ||
                              kind == "text";
    const Widget* w = aboutElement ? m.Find(name) : nullptr;
    if (aboutElement && w == nullptr) {
        s.Fail("no element named \"" + std::string(name) + "\"");
        return;
    }
    std::string actual;
    bool met = false;
    if (auto checked = ExpectOnSystem(s, kind, rest)) {
        met = checked->first;
        actual = checked->second;
    } else if (kind == "page") {
        actual = std::to_string(s.form.State().PageIndex);
        met = actual == rest;
    } else if (kind == "InstallOk") {
        actual = s.form.State().InstallOk ? "yes" : "no";
        met = actual == rest;
    } else if (kind == "ended" || kind == "running") {
        actual = s.host.ProgramEnded() ? "ended" : "running";
        met = actual == kind;
    } else if (kind == "visible" || kind == "hidden") {
        actual = m.IsOnScreen(name) ? "visible" : "hidden";
        met = actual == kind;
    } else if (kind == "focus") {
        actual = m.Focused().empty() ? "none" : m.Focused();
        met = actual == name;
    } else if (kind == "enabled" || kind == "disabled") {
        actual = w->enabled ? "enabled" : "disabled";
        met = actual == kind;
    } else if (kind == "items") {
        actual = "\"" + ItemList(*w) + "\"";
        met = ItemList(*w) == afterName;
    } else if (kind == "text") {
        // The text is what follows the name and one blank, blanks included.
        std::string_view text = rest.substr(std::min(rest.size(), name.size() + 1));
        actual = "\"" + Escaped(w->caption) + "\"";
        met = Escaped(w->caption) == text;
    } else {
        s.Fail("unknown expectation \"" + std::string(kind) + "\"");
        return;
    }
    if (!met) {
        s.Fail("expected " + std::string(what) + ", found " + actual);
    }
}

}  // namespace setup::ui::headless
