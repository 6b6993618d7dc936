#include "system/IniFile.h"

#include "platform/Os.h"
#include "system/Error.h"

namespace setup {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Digits in the given base, accumulated with 32-bit wrap-around as the platform's
// conversion does for hexadecimal; decimal overflow is rejected.
std::optional<std::int32_t> ParseDigits(std::string_view digits, int base, bool negative) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (base == 10 && value > (negative ? 2147483648LL : 2147483647LL)) {
            return std::nullopt;
        }
        if (base == 16 && value > 0xFFFFFFFFLL) {
            return std::nullopt;
        }
    }
    if (negative) {
        value = -value;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16, false);
    }
    if (!text.empty() && text[0] == '$') {
        return ParseDigits(text.substr(1), 16, false);
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    return ParseDigits(text, 10, negative);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    return platform::CurrentOs().Profiles().ReadString(path_, section, key, defaultValue,
                                                       kIniValueMaxChars);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
    return ParseIniInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> IniFile::ReadSectionKeys(std::string_view section) const {
    return platform::CurrentOs().Profiles().ListKeys(path_, section);
}

std::vector<std::string> IniFile::ReadSections() const {
    return platform::CurrentOs().Profiles().ListSections(path_);
}

void IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) const {
    if (!platform::CurrentOs().Profiles().WriteString(path_, section, key, value)) {
        ThrowCannotWrite();
    }
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(std::string_view section) const {
    if (!platform::CurrentOs().Profiles().EraseSection(path_, section)) {
        ThrowCannotWrite();
    }
}

void IniFile::ThrowCannotWrite() const {
    throw SetupError(FormatMessage("nach %s kann nicht geschrieben werden", path_));
}

}  // namespace setup
