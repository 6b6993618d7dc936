// The one INI service of the installer. The script, the uninstall log and an earlier
// installation's log are all read and written with these rules:
//  - section and key names compare without regard to letter case;
//  - a string loses surrounding blanks and one pair of enclosing quotes, and is cut
//    to 1023 characters; a missing file, section or key yields the default;
//  - an integer is "0x"/"0X" + hex (when longer than 2 characters), an optional sign
//    and decimal digits, or "$" + hex; anything else yields the default;
//  - a boolean is an integer read with default 1 or 0; any non-zero number is true;
//  - writing fails with "nach %s kann nicht geschrieben werden" as a SetupError.
// Key and section lists are complete, however long: a long [Dateien] section must
// never lose its last files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

inline constexpr std::size_t kIniValueMaxChars = 1023;

// Parses an integer by the rules above; nothing when the text is not one.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

class IniFile {
  public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    std::vector<std::string> ReadSectionKeys(std::string_view section) const;
    std::vector<std::string> ReadSections() const;

    // These throw SetupError when the file can't be written.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    void WriteBool(std::string_view section, std::string_view key, bool value) const;
    void EraseSection(std::string_view section) const;

  private:
    [[noreturn]] void ThrowCannotWrite() const;

    std::string path_;
};

}  // namespace setup
