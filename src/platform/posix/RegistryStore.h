// The emulated registry: keys with typed values, kept in a text file.
//
// Key paths and value names compare without regard to case. Every change is
// written to the file at once (through a temporary file and a rename), so a later
// instance on the same file sees it. The file holds one "[ROOT\path]" line per key
// and one line per value:   "name"=<type number>[!]:"data"
// where "!" marks a value whose data can't be read (its size can), and names, key
// paths and data escape "%", quotes, brackets and bytes outside printable ASCII as
// %XX, so any bytes survive.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Os.h"

namespace setup::platform::posix {

struct StoredValue {
    std::string name;
    RegType type = RegType::None;
    std::string data;
    bool unreadable = false;
};

class RegistryStore {
  public:
    // Loads the file; a missing file is an empty registry (see IsNew).
    explicit RegistryStore(std::filesystem::path file);

    // True when the file did not exist when the store was made.
    bool IsNew() const { return isNew_; }

    bool KeyExists(RegRoot root, std::string_view key) const;
    // Creates the key and its missing parents; false when the file can't be written.
    bool CreateKey(RegRoot root, std::string_view key);
    // Removes the key with its subkeys; false when it did not exist.
    bool RemoveKey(RegRoot root, std::string_view key);
    // False for a missing key.
    bool HasSubKeys(RegRoot root, std::string_view key) const;
    bool HasValues(RegRoot root, std::string_view key) const;

    std::optional<StoredValue> GetValue(RegRoot root, std::string_view key,
                                        std::string_view name) const;
    // Sets a value of an existing key; false when the key is missing or the file
    // can't be written.
    bool SetValue(RegRoot root, std::string_view key, std::string_view name, RegType type,
                  std::string_view data);
    bool RemoveValue(RegRoot root, std::string_view key, std::string_view name);
    bool SetUnreadable(RegRoot root, std::string_view key, std::string_view name, bool unreadable);

    struct Key {
        std::string path;  // "ROOT\a\b" as first written
        std::vector<StoredValue> values;
    };
    // Every key, by its path folded to one letter case (a tool lists them all).
    const std::map<std::string, Key>& Keys() const { return keys_; }

  private:
    static std::string FullPath(RegRoot root, std::string_view key);
    static std::string Fold(std::string_view path);
    std::vector<StoredValue>* ValuesOf(RegRoot root, std::string_view key);
    StoredValue* FindValue(RegRoot root, std::string_view key, std::string_view name);
    bool Save() const;
    void Load(std::string_view text);

    std::filesystem::path file_;
    bool isNew_ = false;
    std::map<std::string, Key> keys_;  // by folded full path
};

}  // namespace setup::platform::posix
