#include "app/UninstallLogFile.h"

#include <cstdint>
#include <span>

#include "app/TextFile.h"
#include "platform/Os.h"
#include "platform/TemporaryBeside.h"
#include "system/Error.h"
#include "system/IniFile.h"

namespace setup::app {

UninstallLogFile::UninstallLogFile(std::string path, std::string earlier)
    : path_(std::move(path)), text_(std::move(earlier)) {}

std::string UninstallLogFile::Read(std::string_view section, std::string_view key) const {
    return platform::ProfileResult(text_.Find(section, key).value_or(std::string()),
                                   kIniValueMaxChars);
}

void UninstallLogFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    text_.Set(section, key, platform::QuotedForProfile(value));
}

void UninstallLogFile::SetExisted(std::string_view section, std::string_view key, bool existed) {
    if (!text_.Find(section, key)) {
        text_.Set(section, key, existed ? "1" : "0");
    }
}

void UninstallLogFile::Save() {
    const std::string& bytes = text_.Bytes();
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size());
    if (!platform::WriteFileReplacing(platform::CurrentOs().Files(), path_, data)) {
        failed_ = true;
        throw SetupError(FormatMessage("nach %s kann nicht geschrieben werden", path_));
    }
}

void UninstallLogFile::WriteBool(std::string_view section, std::string_view key, bool existed) {
    SetExisted(section, key, existed);
    Save();
}

bool UninstallLogFile::RecordAhead(std::string_view section, std::string_view key, bool existed) {
    if (text_.Find(section, key)) {
        return false;
    }
    WriteBool(section, key, existed);
    return true;
}

void UninstallLogFile::Withdraw(std::string_view section, std::string_view key) {
    if (text_.EraseKey(section, key)) {
        Save();
    }
}

std::string ReadEarlierLog(std::string_view path) {
    std::string text = LoadTextFile(path).value_or(std::string());
    // A byte-order mark begins with 0xEF (UTF-8), 0xFE or 0xFF (UTF-16).
    if (!text.empty() && static_cast<unsigned char>(text.front()) >= 0xEF) {
        return {};
    }
    if (!text.empty() && text.back() != '\n') {
        const std::size_t lastBreak = text.find_last_of('\n');
        text.erase(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    }
    return text;
}

}  // namespace setup::app
