#include "HostNames.h"

#include <system_error>

#include "base/Windows1252.h"
#include "system/PathHelpers.h"

namespace setup::medium {

namespace fs = std::filesystem;

std::string Utf8Of(std::string_view cp1252) {
    std::string out;
    for (char c : cp1252) {
        const char32_t point = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | (point >> 6));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (point >> 12));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return out;
}

fs::path HostRelative(std::string_view cp1252) {
    std::string utf8 = Utf8Of(cp1252);
    for (char& c : utf8) {
        c = c == '\\' ? '/' : c;
    }
    return fs::path(std::u8string(utf8.begin(), utf8.end())).lexically_normal();
}

std::optional<std::string> Cp1252Of(const fs::path& name) {
    const std::u8string utf8 = name.u8string();
    return Utf8ToCp1252Exact(std::string(utf8.begin(), utf8.end()));
}

std::optional<fs::path> FindNoCase(const fs::path& root, std::string_view relative) {
    fs::path found = root;
    std::error_code error;
    for (const fs::path& part : HostRelative(relative)) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            return std::nullopt;  // a medium names nothing outside itself
        }
        if (fs::exists(found / part, error)) {
            found /= part;
            continue;
        }
        const std::optional<std::string> wanted = Cp1252Of(part);
        std::optional<fs::path> match;
        for (const fs::directory_entry& entry : fs::directory_iterator(found, error)) {
            const auto name = Cp1252Of(entry.path().filename());
            if (wanted && name && EqualsNoCase(*name, *wanted)) {
                match = entry.path();
                break;
            }
        }
        if (!match) {
            return std::nullopt;
        }
        found = *match;
    }
    return found;
}

}  // namespace setup::medium
