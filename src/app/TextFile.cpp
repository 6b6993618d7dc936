#include "app/TextFile.h"

#include <array>
#include <cstdint>

#include "platform/Os.h"

namespace setup::app {

std::optional<std::string> LoadTextFile(std::string_view path) {
    auto file = platform::CurrentOs().Files().Open(path, platform::OpenMode::Read);
    if (!file) {
        return std::nullopt;
    }
    std::string raw;
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        std::int64_t got = file->Read(buffer);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        raw.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(got));
    }
    raw.resize(raw.find('\0') == std::string::npos ? raw.size() : raw.find('\0'));

    std::string text;
    text.reserve(raw.size() + raw.size() / 16);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
                ++i;
            }
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace setup::app
