#include "zip/ZipTypes.h"

namespace setup::zip {

std::int32_t Fail(std::int32_t code) {
    return code;
}

void SlashesToBackslashes(std::string& text) {
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
}

std::int32_t CompressionPercent(std::int32_t compressedSize, std::int32_t size) {
    // 21,474,836 * 100 is the largest product that fits into 31 bits.
    if (compressedSize > 21474836) {
        compressedSize /= 100;
        size /= 100;
    }
    if (size == 0) {
        return 0;
    }
    // Computed in 64 bits: a negative compressed size (a wrapped total) must not overflow.
    return static_cast<std::int32_t>(100 - static_cast<std::int64_t>(compressedSize) * 100 / size);
}

}  // namespace setup::zip
