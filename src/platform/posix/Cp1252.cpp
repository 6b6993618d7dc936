#include "platform/posix/Cp1252.h"

#include <algorithm>
#include <cstdint>

#include "base/Windows1252.h"

namespace setup::platform::posix {
namespace {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One UTF-8 sequence at text[pos], U+FFFD for anything invalid.
char32_t DecodeUtf8(std::string_view text, std::size_t pos, std::size_t& length) {
    return setup::DecodeUtf8(text, pos, length).value_or(0xFFFD);
}

// ASCII is the same in both encodings; most names and report lines are ASCII only.
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        out += CodePointToCp1252(DecodeUtf8(text, pos, length)).value_or('?');
        pos += length;
    }
    return out;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&bytes](std::size_t at) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                     static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t cp = unit(at);
        if (cp >= 0xD800 && cp <= 0xDBFF && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 &&
            unit(at + 2) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
            at += 2;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // an unpaired surrogate
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(2 * text.size());
    auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        const char32_t cp = DecodeUtf8(text, pos, length);
        pos += length;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

}  // namespace setup::platform::posix
