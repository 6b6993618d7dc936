// The checks of the script's text: how it is encoded, sections and keys written
// twice, values too long, placeholders, modules, the targets of shortcuts and of
// programs to start, and the settings of the update check.
#include <algorithm>
#include <array>
#include <map>

#include "Checker.h"
#include "base/AsciiText.h"
#include "base/Windows1252.h"
#include "system/PathHelpers.h"

namespace setup::medium::checking {

using platform::IniText;

namespace {

// The placeholders the installer replaces (system/Placeholders.cpp).
constexpr std::array<std::string_view, 15> kPlaceholders = {
    "@@INSTDIR@@", "@@WINDIR@@",    "@@SYSDIR@@",    "@@PRGDIR@@",   "@@COMMON@@",
    "@@PRGGRP@@",  "@@AUTOSTART@@", "@@STARTMENU@@", "@@PROGRAMS@@", "@@FAVORITEN@@",
    "@@DESKTOP@@", "@@SENDTO@@",    "@@CONFIG@@",    "@@DEVICES@@",  "@@MEDIA@@"};

// -1, 0 or 1 for versions compared number by number ("1.10" > "1.9"); nothing
// when either is not made of numbers and points.
std::optional<int> CompareNumerically(std::string_view a, std::string_view b) {
    for (;;) {
        const std::size_t da = a.find('.');
        const std::size_t db = b.find('.');
        const auto na = Number(a.substr(0, da));
        const auto nb = Number(b.substr(0, db));
        if (!na || !nb) {
            return std::nullopt;
        }
        if (*na != *nb) {
            return *na < *nb ? -1 : 1;
        }
        if (da == std::string_view::npos || db == std::string_view::npos) {
            return da == db ? 0 : (da == std::string_view::npos ? -1 : 1);
        }
        a.remove_prefix(da + 1);
        b.remove_prefix(db + 1);
    }
}

// The file name a link path ends with, after its placeholder and folders.
std::string LinkFileName(std::string_view path) {
    const std::size_t placeholder = path.rfind("@@");
    if (placeholder != std::string_view::npos) {
        path.remove_prefix(placeholder + 2);
    }
    return FileNameOf(path);
}

}  // namespace

void Checker::ReadText(const std::string& bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    std::string text = bytes;
    if (std::string_view(bytes).starts_with(kBom)) {
        Add(1, Severity::Warning, "script-bom",
            "the script starts with a UTF-8 byte-order mark; write it in Windows-1252");
        text = Utf8ToCp1252Exact(std::string_view(bytes).substr(kBom.size())).value_or(bytes);
    } else if (std::any_of(bytes.begin(), bytes.end(),
                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
               Utf8ToCp1252Exact(bytes)) {
        const std::size_t at = static_cast<std::size_t>(
            std::find_if(bytes.begin(), bytes.end(),
                         [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) -
            bytes.begin());
        const std::size_t line =
            1 + static_cast<std::size_t>(std::count(
                    bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        Add(line, Severity::Error, "script-utf8",
            "the script is UTF-8 without a byte-order mark; the installer reads it as "
            "Windows-1252");
    }
    ini_.emplace(std::move(text));
    lines_ = ini_->Lines();
    script_.emplace(folder_ + "Setup.ini");
}

void Checker::CheckLines() {
    std::map<std::string, std::size_t> sections;  // upper-case name -> first line
    std::map<std::string, std::size_t> keys;      // of the current section
    bool skipping = false;                        // a repeated section
    for (const IniText::Located& at : lines_) {
        if (at.header) {
            keys.clear();
            auto [first, added] = sections.emplace(AsciiUpper(at.section), at.line);
            skipping = !added;
            if (skipping) {
                Add(at.line, Severity::Error, "duplicate-section",
                    "section [" + std::string(at.section) + "] is written twice (first on line " +
                        std::to_string(first->second) + "); the installer reads only the first");
            }
            continue;
        }
        if (skipping) {
            continue;
        }
        if (at.value) {
            auto [first, added] = keys.emplace(AsciiUpper(at.key), at.line);
            if (!added) {
                Add(at.line, Severity::Error, "duplicate-key",
                    "key " + Quoted(at.key) + " is written twice in [" + std::string(at.section) +
                        "] (first on line " + std::to_string(first->second) +
                        "); the installer reads only the first value");
            }
            const std::string value = platform::ProfileResult(*at.value, std::string::npos);
            if (value.size() > kIniValueMaxChars) {
                Add(at.line, Severity::Error, "long-value",
                    "the value of " + Quoted(at.key) + " has " + std::to_string(value.size()) +
                        " characters; the installer reads only the first 1023");
            }
            CheckPlaceholders(at.line, *at.value);
        }
        CheckPlaceholders(at.line, at.key);
    }
}

void Checker::CheckPlaceholders(std::size_t line, std::string_view text) {
    const std::size_t open = text.find("@@");
    const std::size_t close = open == std::string_view::npos ? open : text.find("@@", open + 2);
    if (close == std::string_view::npos) {
        return;
    }
    const std::string token(text.substr(open, close + 2 - open));
    const bool known = std::any_of(kPlaceholders.begin(), kPlaceholders.end(),
                                   [&](std::string_view p) { return EqualsNoCase(p, token); });
    if (!known) {
        Add(line, Severity::Error, "placeholder",
            "unknown placeholder " + token + "; the installer removes it");
    }
    const std::string_view rest = text.substr(close + 2);
    const std::size_t second = rest.find("@@");
    if (second != std::string_view::npos && rest.find("@@", second + 2) != std::string_view::npos) {
        Add(line, Severity::Error, "placeholder",
            "only the first placeholder of a text is replaced; " +
                std::string(rest.substr(second, rest.find("@@", second + 2) + 2 - second)) +
                " stays as written");
    }
}

void Checker::CheckModules() {
    struct Module {
        std::string name;
        bool shown = true;
        bool chosen = false;
    };
    std::vector<Module> modules;
    for (const std::string& name : script_->ReadSectionKeys("Auswahl")) {
        // state [";" flag], as the module page reads it
        const std::string value = script_->ReadString("Auswahl", name, "");
        const std::size_t separator = value.find(';');
        Module module{name};
        module.chosen = std::string_view(value).substr(0, separator) == "1";
        module.shown =
            separator == std::string::npos ||
            ParseIniInteger(std::string_view(value).substr(separator + 1)).value_or(0) == 0;
        modules.push_back(module);
    }
    const bool page = script_->ReadBool("ProgInfos", "Auswahl", false);
    bool reportedOff = false;
    for (const Listed& file : files_) {
        if (file.module.empty()) {
            continue;
        }
        auto module = std::find_if(modules.begin(), modules.end(), [&](const Module& m) {
            return EqualsNoCase(m.name, file.module);
        });
        if (module == modules.end()) {
            Add(file.line, Severity::Error, "module-unknown",
                "module " + Quoted(file.module) +
                    " is not listed in [Auswahl]; its files are never installed");
        } else if (module->shown && !page && !reportedOff) {
            reportedOff = true;
            Add(file.line, Severity::Error, "modules-off",
                "files of module " + Quoted(file.module) +
                    " are never installed: [ProgInfos] Auswahl is not 1, so no module is "
                    "chosen");
        }
    }
    const bool anyShown =
        std::any_of(modules.begin(), modules.end(), [](const Module& m) { return m.shown; });
    const bool anyChosen = std::any_of(modules.begin(), modules.end(),
                                       [](const Module& m) { return m.shown && m.chosen; });
    if (page && anyShown && !anyChosen) {
        Add(SectionLine("Auswahl"), Severity::Warning, "modules-none-chosen",
            "no shown module starts chosen; the module page is skipped and their files are "
            "not installed");
    }
    for (const Module& module : modules) {
        const bool used = std::any_of(files_.begin(), files_.end(), [&](const Listed& f) {
            return EqualsNoCase(f.module, module.name);
        });
        if (!used) {
            Add(KeyLine("Auswahl", module.name), Severity::Warning, "module-empty",
                "module " + Quoted(module.name) + " has no files in [Dateien]");
        }
    }
}

bool Checker::InstalledHere(std::string_view relative) const {
    return installedHere_.count(AsciiUpper(relative)) != 0;
}

void Checker::CheckShortcutsAndStart() {
    for (const std::string& key : script_->ReadSectionKeys("ShortCuts")) {
        const std::string name = LinkFileName(key);
        if (!InstalledHere(name)) {
            Add(KeyLine("ShortCuts", key), Severity::Warning, "shortcut-target",
                "the shortcut's target " + std::string(kInstallFolder) + name +
                    " is not installed by [Dateien]; the installer leaves the shortcut out");
        }
    }
    for (const std::string& key : script_->ReadSectionKeys("Starten")) {
        const std::string file = key.substr(0, key.find(','));
        if (StartsWithNoCase(file, kInstallFolder) &&
            !InstalledHere(std::string_view(file).substr(kInstallFolder.size()))) {
            Add(KeyLine("Starten", key), Severity::Error, "start-target",
                Quoted(file) + " is not installed by [Dateien]; opening it fails");
        }
    }
}

void Checker::CheckUpdate() {
    const std::string version = script_->ReadString("ProgInfos", "Version", "");
    const std::string minimum = script_->ReadString("Update", "MinimumVersionNr", "");
    const std::size_t versionLine = KeyLine("ProgInfos", "Version");
    if (std::count(version.begin(), version.end(), '.') > 1) {
        Add(versionLine, Severity::Warning, "version-form",
            "Version " + Quoted(version) +
                " has more than one \".\"; installed versions read as major.minor with "
                "release and build behind (2.1.0.5 reads \"2.105\")");
    }
    const std::size_t dot = version.find('.');
    const std::string_view major = std::string_view(version).substr(0, dot);
    const std::string_view minor =
        dot == std::string::npos ? std::string_view() : std::string_view(version).substr(dot + 1);
    const auto numeric = minimum.empty() ? std::nullopt : CompareNumerically(version, minimum);
    const int text = version.compare(minimum) < 0 ? -1 : (version == minimum ? 0 : 1);
    if (numeric && *numeric != text) {
        Add(versionLine, Severity::Warning, "version-text",
            "Version " + Quoted(version) + " is compared as text: it counts as " +
                (text < 0    ? "lower"
                 : text == 0 ? "equal"
                             : "higher") +
                " than MinimumVersionNr " + Quoted(minimum));
    } else if ((major.size() > 1 && Number(major)) ||
               (minor.size() == 2 && minor.front() != '0' && Number(minor))) {
        Add(versionLine, Severity::Warning, "version-text",
            "Version " + Quoted(version) +
                " is compared as text, not as numbers (\"1.10\" counts as lower than \"1.9\", "
                "\"10.0\" than \"9.5\")");
    }
    if (!script_->ReadBool("Update", "Anbieten", false)) {
        return;
    }
    const std::size_t line = KeyLine("Update", "Anbieten");
    if (script_->ReadString("Registry", "SoftwareKey", "").empty()) {
        Add(line, Severity::Error, "update-incomplete",
            "the update check needs [Registry] SoftwareKey to find the installed product");
    }
    if (script_->ReadString("ProgInfos", "Uninstaller", "").empty()) {
        Add(line, Severity::Error, "update-incomplete",
            "the update check needs an uninstaller: without it no uninstall entry is written");
    }
    const std::string exe = script_->ReadString("Update", "ExeName", "");
    if (exe.empty()) {
        Add(line, Severity::Error, "update-incomplete",
            "the update check needs [Update] ExeName, the program whose version it compares");
    } else if (!InstalledHere(exe)) {
        Add(KeyLine("Update", "ExeName"), Severity::Error, "update-incomplete",
            "ExeName " + Quoted(exe) + " is not installed into the installation folder");
    }
}

}  // namespace setup::medium::checking
