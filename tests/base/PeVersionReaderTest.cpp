#include <gtest/gtest.h>

#include <functional>

#include "base/PeVersionReader.h"
#include "support/PeImage.h"

namespace setup::app {
namespace {

PeVersion Read(const std::vector<std::uint8_t>& bytes) {
    return ReadPeVersion(bytes);
}

TEST(PeVersionReader, ReadsTheFixedFileVersion) {
    const PeImageOptions layouts[] = {
        {.version = {2, 1, 0, 5}},
        {.version = {65535, 0, 7, 65535}, .pe32Plus = true},
        {.version = {3, 4, 5, 6}, .sixteenBitLayout = true},
    };
    for (const auto& options : layouts) {
        PeVersion v = Read(MakePeImage(options));
        EXPECT_EQ(v.status, PeVersionStatus::Found);
        EXPECT_EQ(v.numbers, options.version);
    }
}

struct DamageCase {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    PeVersionStatus expected;
};

TEST(PeVersionReader, DamagedFilesGiveNothingOrAnUnreadableFixedPart) {
    using S = PeVersionStatus;
    const std::size_t opt = kPeHeader + 24;
    const std::size_t root = kSectionRaw;
    const DamageCase cases[] = {
        {"empty", [](auto& b) { b.clear(); }, S::NoVersionInfo},
        {"no MZ", [](auto& b) { b[0] = 'X'; }, S::NoVersionInfo},
        {"PE header beyond the end", [](auto& b) { Put32(b, 0x3C, 0xFFFFFFF0); }, S::NoVersionInfo},
        {"no PE signature", [](auto& b) { b[kPeHeader + 1] = 'X'; }, S::NoVersionInfo},
        {"unknown optional header", [=](auto& b) { Put16(b, opt, 0x107); }, S::NoVersionInfo},
        {"optional header too short", [](auto& b) { Put16(b, kPeHeader + 20, 100); },
         S::NoVersionInfo},
        {"too few data directories", [=](auto& b) { Put32(b, opt + 92, 2); }, S::NoVersionInfo},
        {"no resource directory", [=](auto& b) { Put32(b, opt + 112, 0); }, S::NoVersionInfo},
        {"resources outside every section", [=](auto& b) { Put32(b, opt + 112, 0x9000); },
         S::NoVersionInfo},
        {"section data beyond the end", [=](auto& b) { Put32(b, opt + 224 + 20, 0x7FFFFFF0); },
         S::NoVersionInfo},
        {"huge section count", [](auto& b) { Put16(b, kPeHeader + 6, 0xFFFF); }, S::NoVersionInfo},
        {"huge entry counts", [=](auto& b) { Put32(b, root + 12, 0xFFFFFFFF); }, S::NoVersionInfo},
        {"type entry points back at the root", [=](auto& b) { Put32(b, root + 20, 0x80000000); },
         S::NoVersionInfo},
        {"language level is a directory", [=](auto& b) { Put32(b, root + 68, 0x80000000 | 48); },
         S::NoVersionInfo},
        {"type level is data", [=](auto& b) { Put32(b, root + 20, 72); }, S::NoVersionInfo},
        {"entry offset far away", [=](auto& b) { Put32(b, root + 44, 0xFFFFFFFF); },
         S::NoVersionInfo},
        {"data outside the sections", [=](auto& b) { Put32(b, root + 72, 0x5000); },
         S::NoVersionInfo},
        {"data size zero", [=](auto& b) { Put32(b, root + 76, 0); }, S::NoVersionInfo},
        {"block shorter than its fixed part", [=](auto& b) { Put32(b, root + 76, 60); },
         S::FixedInfoUnreadable},
        {"value length zero", [](auto& b) { Put16(b, kVersionBlock + 2, 0); },
         S::FixedInfoUnreadable},
        {"bad signature", [](auto& b) { Put32(b, kVersionBlock + 40, 0x12345678); },
         S::FixedInfoUnreadable},
        {"key without end",
         [](auto& b) {
             for (std::size_t i = kVersionBlock + 6; i < b.size(); ++i)
                 b[i] = 'A';
             b[kVersionBlock + 4] = 0;
         },
         S::FixedInfoUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = MakePeImage();
        c.damage(bytes);
        PeVersion v = Read(bytes);
        EXPECT_EQ(v.status, c.expected);
        EXPECT_EQ(v.numbers, (VersionNumbers{}));
    }
}

TEST(PeVersionReader, WrongResourceTypeOrNameIsNoVersion) {
    EXPECT_EQ(Read(MakePeImage({.versionType = 3})).status, PeVersionStatus::NoVersionInfo);
    EXPECT_EQ(Read(MakePeImage({.versionName = 2})).status, PeVersionStatus::NoVersionInfo);
}

TEST(PeVersionReader, EveryTruncationIsSafe) {
    const auto full = MakePeImage({.version = {9, 8, 7, 6}});
    for (std::size_t size = 0; size < full.size(); ++size) {
        std::vector<std::uint8_t> cut(full.begin(),
                                      full.begin() + static_cast<std::ptrdiff_t>(size));
        PeVersion v = Read(cut);
        // The fixed part ends at kVersionBlock + 92; anything shorter can't hold it.
        if (size < kVersionBlock + 92) {
            EXPECT_NE(v.status, PeVersionStatus::Found) << size;
        }
    }
}

}  // namespace
}  // namespace setup::app
