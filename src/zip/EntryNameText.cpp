#include "zip/EntryNameText.h"

#include "base/Windows1252.h"
#include "zip/Crc32.h"
#include "zip/ZipDirectory.h"

namespace setup::zip {
namespace {

constexpr std::uint16_t kUnicodePathField = 0x7075;

// The UTF-8 name of a valid Unicode Path field in `extra`, if there is one.
std::optional<std::string_view> UnicodePath(std::span<const std::uint8_t> extra,
                                            std::string_view storedName) {
    while (extra.size() >= 4) {
        const std::uint16_t id = LoadLe16(extra.data());
        const std::size_t size = LoadLe16(extra.data() + 2);
        if (size > extra.size() - 4) {
            return std::nullopt;  // a damaged extra field: nothing in it is trusted
        }
        const std::span<const std::uint8_t> data = extra.subspan(4, size);
        if (id == kUnicodePathField && size >= 5 && data[0] == 1) {
            const auto* name = reinterpret_cast<const std::uint8_t*>(storedName.data());
            const std::uint32_t crc = ~UpdateCrc32(0xFFFFFFFF, {name, storedName.size()});
            if (LoadLe32(data.data() + 1) != crc) {
                return std::nullopt;
            }
            return std::string_view(reinterpret_cast<const char*>(data.data() + 5), size - 5);
        }
        extra = extra.subspan(4 + size);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> EntryNameText(std::string_view storedName, std::uint16_t flags,
                                         std::span<const std::uint8_t> extra) {
    std::optional<std::string> text;
    if (const auto unicode = UnicodePath(extra, storedName)) {
        text = Utf8ToCp1252Exact(*unicode);
    } else if ((flags & kFlagUtf8Name) != 0) {
        text = Utf8ToCp1252Exact(storedName);
    } else {
        text = std::string(storedName);
    }
    if (text) {
        text->resize(std::min(text->size(), text->find('\0')));
    }
    return text;
}

}  // namespace setup::zip
