#include "uninstall/Removal.h"

#include "system/PathHelpers.h"

namespace setup::uninstall {
namespace {

namespace attr = platform::attr;
using platform::RegRoot;

constexpr std::size_t kNamedContents = 8;
// Windows-1252's no-break space; the line length at which a path is broken, and
// what continues it on the next line.
constexpr char kNoBreakSpace = '\xA0';
constexpr std::size_t kPathLineChars = 80;
constexpr std::string_view kPathContinued = "\r\n\xA0\xA0\xA0\xA0";

platform::FileSystem& Files() {
    return platform::CurrentOs().Files();
}
platform::Registry& Reg() {
    return platform::CurrentOs().Reg();
}

bool Exists(std::string_view path) {
    return Files().GetAttributes(path) != attr::kInvalid;
}

// The names inside a folder, with those of its subfolders, relative to it.
void CollectContents(const std::string& folder, const std::string& prefix,
                     std::vector<std::string>& names) {
    for (const platform::FoundEntry& entry : Files().ListFolder(folder)) {
        if (names.size() > kNamedContents) {
            return;
        }
        const std::string name = prefix + entry.name;
        if (entry.IsFolder()) {
            const std::size_t before = names.size();
            CollectContents(folder + entry.name + "\\", name + "\\", names);
            if (names.size() == before) {
                names.push_back(name + "\\");
            }
        } else {
            names.push_back(name);
        }
    }
}

std::string ContentsText(std::string_view folder) {
    std::vector<std::string> names;
    CollectContents(AddTrailingBackslash(folder), "", names);
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamedContents; ++i) {
        text += (i == 0 ? "" : ", ") + names[i];
    }
    if (names.size() > kNamedContents) {
        text += ", ...";
    }
    return text;
}

}  // namespace

std::string PathText(std::string_view path) {
    std::string text;
    std::size_t lineStart = 0;
    std::size_t afterBackslash = 0;
    for (const char c : path) {
        text += c == ' ' ? kNoBreakSpace : c;
        if (c == '\\') {
            afterBackslash = text.size();
        }
        if (text.size() - lineStart > kPathLineChars && afterBackslash > lineStart) {
            text.insert(afterBackslash, kPathContinued);
            lineStart = afterBackslash + 2;  // after the line break
        }
    }
    return text;
}

std::string KeyDisplayName(RegRoot root, std::string_view key) {
    return PathText(
        std::string(root == RegRoot::ClassesRoot ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\") +
        std::string(key));
}

std::optional<std::string> ReadDefaultValue(RegRoot root, std::string_view key) {
    auto open = Reg().Open(root, key);
    if (!open) {
        return std::nullopt;
    }
    const platform::RegValue value = open->Query("");
    const bool text =
        value.type == platform::RegType::String || value.type == platform::RegType::ExpandString;
    if (value.status != platform::RegQueryStatus::Ok || !text) {
        return std::string();
    }
    std::string data = value.data;
    while (!data.empty() && data.back() == '\0') {
        data.pop_back();
    }
    return data;
}

bool Removal::RemoveFile(std::string_view path, std::string_view what, bool logged) {
    const std::uint32_t attributes = Files().GetAttributes(path);
    if (attributes == attr::kInvalid) {
        return true;
    }
    if (testMode_) {
        Describe(std::string(what) + " l\xF6schen: " + PathText(path));
        return true;
    }
    const bool readOnly = (attributes & attr::kReadOnly) != 0;
    if ((attributes & attr::kDirectory) == 0 &&
        (!readOnly || Files().SetAttributes(path, attr::kNormal)) && Files().DeleteFile(path)) {
        return true;
    }
    if (readOnly) {
        Files().SetAttributes(path, attributes);  // as it was
    }
    std::string line = PathText(path) + " (konnte nicht gel\xF6scht werden)";
    if (logged) {
        Failed(std::move(line));
    } else {
        Kept(std::move(line));
    }
    return false;
}

bool Removal::RemoveFolderIfEmpty(std::string_view path, bool report) {
    if (!Exists(path)) {
        return true;
    }
    if (testMode_) {
        Describe("Ordner entfernen, wenn er leer ist: " + PathText(path));
        return true;
    }
    if (Files().RemoveFolder(path)) {
        return true;
    }
    // Kept for what it still holds; empty, it failed itself.
    const std::string contents = ContentsText(path);
    if (contents.empty()) {
        Failed(PathText(path) + " (konnte nicht entfernt werden)");
        return false;
    }
    if (report) {
        Kept(PathText(path) + " (enth\xE4lt noch: " + contents + ")");
    }
    return true;
}

bool Removal::SetDefaultValue(RegRoot root, std::string_view key, std::string_view value) {
    const std::string name = KeyDisplayName(root, key);
    if (value.empty()) {
        auto open = Reg().Open(root, key);
        if (!open || open->Query("").status == platform::RegQueryStatus::Missing) {
            return true;
        }
        if (testMode_) {
            Describe("Standardwert von " + name + " entfernen");
        } else if (!open->DeleteValue("")) {
            Failed(name + " (Standardwert konnte nicht entfernt werden)");
            return false;
        }
        return true;
    }
    if (testMode_) {
        Describe(name + " zur\374cksetzen auf \"" + std::string(value) + "\"");
        return true;
    }
    auto open = Reg().Create(root, key);
    if (!open || !open->SetString("", value)) {
        Failed(name + " (konnte nicht zur\374ckgesetzt werden)");
        return false;
    }
    return true;
}

bool Removal::RemoveKey(RegRoot root, std::string_view key, bool report) {
    if (!Reg().Open(root, key)) {
        return true;
    }
    const std::string name = KeyDisplayName(root, key);
    if (testMode_) {
        Describe("Schl\xFCssel entfernen: " + name);
        return true;
    }
    if (Reg().DeleteKey(root, key)) {
        return true;
    }
    if (report) {
        Failed(name + " (konnte nicht entfernt werden)");
    }
    return false;
}

void Removal::RemoveKeyIfEmpty(RegRoot root, std::string_view key) {
    auto open = Reg().Open(root, key);
    if (!open || !open->IsEmpty()) {
        return;
    }
    open.reset();
    RemoveKey(root, key, true);  // empty: only a failure keeps it
}

bool HasSubKeys(RegRoot root, std::string_view key) {
    auto open = Reg().Open(root, key);
    return open && open->HasSubKeys();
}

void Removal::Failed(std::string line) {
    outcome_.stayed.push_back(std::move(line));
    outcome_.retryNeeded = true;
    ++failures_;
}

void Removal::Kept(std::string line) {
    outcome_.stayed.push_back(std::move(line));
}

void Removal::Describe(std::string action) {
    outcome_.actions.push_back(std::move(action));
}

}  // namespace setup::uninstall
