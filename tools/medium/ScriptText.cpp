#include "ScriptText.h"

#include <algorithm>
#include <cstdio>

#include "base/Windows1252.h"
#include "platform/IniText.h"

namespace setup::medium {
namespace {

bool IsUtf8WithNonAscii(std::string_view bytes) {
    const bool high = std::any_of(bytes.begin(), bytes.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    for (std::size_t at = 0, length = 0; high && at < bytes.size(); at += length) {
        if (!DecodeUtf8(bytes, at, length)) {
            return false;
        }
    }
    return high;
}

std::string Located(std::string_view name, std::size_t line, std::string_view text) {
    return std::string(name) + ":" + std::to_string(line) + ": " + std::string(text);
}

}  // namespace

MediumScript ScriptForMedium(std::string_view bytes, std::string_view name) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool bom = bytes.starts_with(kBom);
    if (bom) {
        bytes.remove_prefix(kBom.size());
    }
    const bool utf8 = bom || IsUtf8WithNonAscii(bytes);
    std::string text;
    std::size_t line = 1;
    for (std::size_t at = 0, length = 1; at < bytes.size(); at += length) {
        length = 1;
        const char c = bytes[at];
        if (c == '\r' || c == '\n') {
            // CR LF, LF and CR alone each end one line.
            length = c == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
            text += "\r\n";
            ++line;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            return {{},
                    Located(name, line,
                            "a control character (byte " + std::to_string(byte) +
                                "): this is no INI text")};
        }
        if (!utf8 || byte < 0x80) {
            text += c;
            continue;
        }
        const std::optional<char32_t> point = DecodeUtf8(bytes, at, length);
        const std::optional<char> mapped = point ? CodePointToCp1252(*point) : std::nullopt;
        if (!mapped) {
            char code[16] = "";
            std::snprintf(code, sizeof code, "U+%04X", point ? static_cast<unsigned>(*point) : 0U);
            return {{},
                    Located(name, line,
                            point ? "the character " + std::string(bytes.substr(at, length)) +
                                        " (" + code + ") has no Windows-1252 form"
                                  : std::string("a byte that is not UTF-8 in a UTF-8 script"))};
        }
        text += *mapped;
    }
    if (platform::IniText(text).Sections().empty()) {
        return {{}, std::string(name) + ": no [section]: this is no INI script"};
    }
    return {std::move(text), {}};
}

}  // namespace setup::medium
