// Builds small PE files with a version resource, with knobs to damage them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace setup::app {

struct PeImageOptions {
    std::array<std::uint16_t, 4> version{1, 0, 0, 0};
    bool pe32Plus = false;
    bool sixteenBitLayout = false;  // ANSI key right after the two length words
    std::uint16_t valueLength = 52;
    std::uint32_t signature = 0xFEEF04BD;
    std::uint32_t versionType = 16;
    std::uint32_t versionName = 1;
    std::uint32_t namesDirectory = 0x80000000 | 24;  // the type entry's target
    std::uint32_t languageEntry = 72;                // the language entry's target
    std::uint32_t rvaCount = 16;
    std::uint16_t idEntriesAtRoot = 1;
};

// Offsets of the parts, for tests that patch the bytes.
inline constexpr std::size_t kPeHeader = 64;
inline constexpr std::size_t kSectionRaw = 512;
inline constexpr std::size_t kVersionBlock = kSectionRaw + 88;

inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

inline std::vector<std::uint8_t> MakePeImage(const PeImageOptions& o = {}) {
    const std::uint16_t optionalSize = o.pe32Plus ? 240 : 224;
    const std::size_t dirs = o.pe32Plus ? 112 : 96;
    std::vector<std::uint8_t> b(1024, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, kPeHeader);
    Put32(b, kPeHeader, 0x00004550);
    Put16(b, kPeHeader + 4, o.pe32Plus ? 0x8664 : 0x14C);
    Put16(b, kPeHeader + 6, 1);
    Put16(b, kPeHeader + 20, optionalSize);
    const std::size_t opt = kPeHeader + 24;
    Put16(b, opt, o.pe32Plus ? 0x20B : 0x10B);
    Put32(b, opt + dirs - 4, o.rvaCount);
    Put32(b, opt + dirs + 16, 0x1000);  // resource directory RVA
    Put32(b, opt + dirs + 20, 180);
    const std::size_t section = opt + optionalSize;
    std::copy_n(".rsrc", 5, b.begin() + static_cast<std::ptrdiff_t>(section));
    Put32(b, section + 8, 512);
    Put32(b, section + 12, 0x1000);
    Put32(b, section + 16, 512);
    Put32(b, section + 20, kSectionRaw);

    const std::size_t r = kSectionRaw;
    Put16(b, r + 14, o.idEntriesAtRoot);  // root: one id entry, the type
    Put32(b, r + 16, o.versionType);
    Put32(b, r + 20, o.namesDirectory);
    Put16(b, r + 24 + 14, 1);  // names
    Put32(b, r + 24 + 16, o.versionName);
    Put32(b, r + 24 + 20, 0x80000000 | 48);
    Put16(b, r + 48 + 14, 1);  // languages
    Put32(b, r + 48 + 16, 0x409);
    Put32(b, r + 48 + 20, o.languageEntry);
    Put32(b, r + 72, 0x1000 + 88);  // data entry: RVA and size of the block
    Put32(b, r + 76, 92);

    const std::size_t v = kVersionBlock;
    std::size_t fixed = v + 40;
    Put16(b, v, 92);
    Put16(b, v + 2, o.valueLength);
    if (o.sixteenBitLayout) {
        std::copy_n("VS_VERSION_INFO", 16, b.begin() + static_cast<std::ptrdiff_t>(v + 4));
        fixed = v + 20;
    } else {
        const std::string key = "VS_VERSION_INFO";
        for (std::size_t i = 0; i < key.size(); ++i) {
            b[v + 6 + 2 * i] = static_cast<std::uint8_t>(key[i]);
        }
    }
    Put32(b, fixed, o.signature);
    Put32(b, fixed + 4, 0x00010000);
    Put32(b, fixed + 8, (std::uint32_t{o.version[0]} << 16) | o.version[1]);
    Put32(b, fixed + 12, (std::uint32_t{o.version[2]} << 16) | o.version[3]);
    return b;
}

inline std::string AsText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace setup::app
