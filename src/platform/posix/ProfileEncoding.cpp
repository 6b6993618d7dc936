#include "platform/posix/ProfileEncoding.h"

#include <utility>

#include "platform/posix/Cp1252.h"

namespace setup::platform::posix {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string SwapPairs(std::string_view bytes) {
    std::string swapped(bytes);
    for (std::size_t at = 0; at + 1 < swapped.size(); at += 2) {
        std::swap(swapped[at], swapped[at + 1]);
    }
    return swapped;
}

}  // namespace

ProfileEncoding ProfileEncoding::Detect(std::string& bytes) {
    const std::string_view view = bytes;
    if (view.starts_with(kUtf8Mark)) {
        bytes.erase(0, kUtf8Mark.size());
        return ProfileEncoding(Kind::Utf8);
    }
    if (view.starts_with(kUtf16LeMark)) {
        bytes = Utf16LeToUtf8(view.substr(kUtf16LeMark.size()));
        return ProfileEncoding(Kind::Utf16Le);
    }
    if (view.starts_with(kUtf16BeMark)) {
        bytes = Utf16LeToUtf8(SwapPairs(view.substr(kUtf16BeMark.size())));
        return ProfileEncoding(Kind::Utf16Be);
    }
    return ProfileEncoding(Kind::Ansi);
}

std::string ProfileEncoding::ToText(std::string_view cp1252) const {
    return kind_ == Kind::Ansi ? std::string(cp1252) : Cp1252ToUtf8(cp1252);
}

std::string ProfileEncoding::FromText(std::string_view text) const {
    return kind_ == Kind::Ansi ? std::string(text) : Utf8ToCp1252(text);
}

std::string ProfileEncoding::ToBytes(std::string_view text) const {
    switch (kind_) {
        case Kind::Utf8:
            return std::string(kUtf8Mark) + std::string(text);
        case Kind::Utf16Le:
            return std::string(kUtf16LeMark) + Utf8ToUtf16Le(text);
        case Kind::Utf16Be:
            return std::string(kUtf16BeMark) + SwapPairs(Utf8ToUtf16Le(text));
        case Kind::Ansi:
            break;
    }
    return std::string(text);
}

}  // namespace setup::platform::posix
