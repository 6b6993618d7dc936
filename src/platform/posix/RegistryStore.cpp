#include "platform/posix/RegistryStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/posix/Cp1252.h"
#include "platform/posix/HostHandles.h"

namespace setup::platform::posix {
namespace {

constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT";

std::string Escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '%' || c == '"' || c == '[' || c == ']') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Splits a key path into its names, dropping empty ones ("a\\b\" is "a", "b").
std::vector<std::string_view> KeyNames(std::string_view key) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find('\\', start);
        if (end == std::string_view::npos) {
            end = key.size();
        }
        if (end > start) {
            names.push_back(key.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

// Reads a quoted, escaped text at text[pos] ('"' ... '"'); advances pos past it.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '"') {
        return std::nullopt;
    }
    const std::size_t close = text.find('"', pos + 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    std::string value = Unescape(text.substr(pos + 1, close - pos - 1));
    pos = close + 1;
    return value;
}

}  // namespace

RegistryStore::RegistryStore(std::filesystem::path file) : file_(std::move(file)) {
    HostDescriptor in(open(file_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.IsOpen()) {
        isNew_ = true;
        return;
    }
    std::string text;
    char buffer[8192];
    ssize_t count = 0;
    while ((count = read(in.Get(), buffer, sizeof(buffer))) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        }
    }
    Load(text);
}

std::string RegistryStore::FullPath(RegRoot root, std::string_view key) {
    std::string path(root == RegRoot::LocalMachine ? kLocalMachine : kClassesRoot);
    for (std::string_view name : KeyNames(key)) {
        path += '\\';
        path += name;
    }
    return path;
}

std::string RegistryStore::Fold(std::string_view path) {
    std::string folded(path);
    for (char& c : folded) {
        c = FoldCase1252(c);
    }
    return folded;
}

bool RegistryStore::KeyExists(RegRoot root, std::string_view key) const {
    return KeyNames(key).empty() || keys_.contains(Fold(FullPath(root, key)));
}

bool RegistryStore::CreateKey(RegRoot root, std::string_view key) {
    std::string path(root == RegRoot::LocalMachine ? kLocalMachine : kClassesRoot);
    bool added = false;
    for (std::string_view name : KeyNames(key)) {
        path += '\\';
        path += name;
        auto [entry, inserted] = keys_.try_emplace(Fold(path), Key{path, {}});
        added = added || inserted;
    }
    return !added || Save();
}

bool RegistryStore::RemoveKey(RegRoot root, std::string_view key) {
    if (KeyNames(key).empty()) {
        return false;  // the roots stay
    }
    const std::string folded = Fold(FullPath(root, key));
    bool removed = false;
    for (auto entry = keys_.begin(); entry != keys_.end();) {
        const std::string& path = entry->first;
        if (path == folded || (path.starts_with(folded) && path[folded.size()] == '\\')) {
            entry = keys_.erase(entry);
            removed = true;
        } else {
            ++entry;
        }
    }
    return removed && Save();
}

bool RegistryStore::HasSubKeys(RegRoot root, std::string_view key) const {
    const std::string folded = Fold(FullPath(root, key)) + '\\';
    auto next = keys_.lower_bound(folded);
    return next != keys_.end() && next->first.starts_with(folded);
}

bool RegistryStore::HasValues(RegRoot root, std::string_view key) const {
    auto entry = keys_.find(Fold(FullPath(root, key)));
    return entry != keys_.end() && !entry->second.values.empty();
}

std::vector<StoredValue>* RegistryStore::ValuesOf(RegRoot root, std::string_view key) {
    auto entry = keys_.find(Fold(FullPath(root, key)));
    return entry == keys_.end() ? nullptr : &entry->second.values;
}

std::optional<StoredValue> RegistryStore::GetValue(RegRoot root, std::string_view key,
                                                   std::string_view name) const {
    auto entry = keys_.find(Fold(FullPath(root, key)));
    if (entry != keys_.end()) {
        for (const StoredValue& value : entry->second.values) {
            if (EqualsFolded1252(value.name, name)) {
                return value;
            }
        }
    }
    return std::nullopt;
}

StoredValue* RegistryStore::FindValue(RegRoot root, std::string_view key, std::string_view name) {
    if (auto* values = ValuesOf(root, key)) {
        for (StoredValue& value : *values) {
            if (EqualsFolded1252(value.name, name)) {
                return &value;
            }
        }
    }
    return nullptr;
}

bool RegistryStore::SetValue(RegRoot root, std::string_view key, std::string_view name,
                             RegType type, std::string_view data) {
    auto* values = KeyNames(key).empty() ? nullptr : ValuesOf(root, key);
    if (values == nullptr) {
        return false;  // a missing key; the roots themselves hold no values here
    }
    StoredValue* value = FindValue(root, key, name);
    if (value == nullptr) {
        value = &values->emplace_back();
        value->name = std::string(name);
    }
    value->type = type;
    value->data = std::string(data);
    value->unreadable = false;
    return Save();
}

bool RegistryStore::RemoveValue(RegRoot root, std::string_view key, std::string_view name) {
    auto* values = ValuesOf(root, key);
    if (values == nullptr) {
        return false;
    }
    const auto count = std::erase_if(
        *values, [&](const StoredValue& value) { return EqualsFolded1252(value.name, name); });
    return count > 0 && Save();
}

bool RegistryStore::SetUnreadable(RegRoot root, std::string_view key, std::string_view name,
                                  bool unreadable) {
    StoredValue* value = FindValue(root, key, name);
    if (value == nullptr) {
        return false;
    }
    value->unreadable = unreadable;
    return Save();
}

bool RegistryStore::Save() const {
    std::string text = "; The registry of an emulated Windows system.\n";
    for (const auto& [folded, key] : keys_) {
        text += '[' + Escape(key.path) + "]\n";
        for (const StoredValue& value : key.values) {
            char type[16];
            std::snprintf(type, sizeof(type), "%u", static_cast<unsigned>(value.type));
            text += '"' + Escape(value.name) + "\"=" + type + (value.unreadable ? "!" : "") +
                    ":\"" + Escape(value.data) + "\"\n";
        }
    }
    std::filesystem::path temporary = file_;
    temporary += ".new";
    {
        HostDescriptor out(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!out.IsOpen()) {
            return false;
        }
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t count = write(out.Get(), text.data() + done, text.size() - done);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(count);
        }
        if (!out.Close()) {
            return false;
        }
    }
    return rename(temporary.c_str(), file_.c_str()) == 0;
}

void RegistryStore::Load(std::string_view text) {
    Key* current = nullptr;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(begin, end - begin);
        begin = end + 1;
        if (line.starts_with('[') && line.ends_with(']')) {
            const std::string path = Unescape(line.substr(1, line.size() - 2));
            current = &keys_.try_emplace(Fold(path), Key{path, {}}).first->second;
            continue;
        }
        std::size_t pos = 0;
        auto name = ReadQuoted(line, pos);
        if (!name || current == nullptr || pos >= line.size() || line[pos] != '=') {
            continue;  // comments and damaged lines
        }
        StoredValue value;
        value.name = std::move(*name);
        unsigned type = 0;
        for (++pos; pos < line.size() && line[pos] >= '0' && line[pos] <= '9'; ++pos) {
            type = type * 10 + static_cast<unsigned>(line[pos] - '0');
        }
        value.type = static_cast<RegType>(type);
        if (pos < line.size() && line[pos] == '!') {
            value.unreadable = true;
            ++pos;
        }
        if (pos >= line.size() || line[pos] != ':') {
            continue;
        }
        ++pos;
        auto data = ReadQuoted(line, pos);
        if (!data) {
            continue;
        }
        value.data = std::move(*data);
        current->values.push_back(std::move(value));
    }
}

}  // namespace setup::platform::posix
