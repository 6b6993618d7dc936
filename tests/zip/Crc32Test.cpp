// Every CRC-32 variant against the one-lookup-per-byte reference, on lengths and
// alignments that reach each variant's head, body and tail code.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "zip/Crc32.h"

namespace setup::zip {
namespace {

using CrcFunction = std::uint32_t (*)(std::uint32_t, std::span<const std::uint8_t>);

struct Variant {
    const char* name;
    CrcFunction function;
};

const Variant kVariants[] = {
    {"slicing", UpdateCrc32Slicing},
    {"clmul", UpdateCrc32Clmul},
    {"clmul on 256-bit registers", UpdateCrc32ClmulWide},
    {"entry point", UpdateCrc32},
};

TEST(Crc32, ReferenceGivesTheCheckValue) {
    const std::string text = "123456789";
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(~UpdateCrc32Bytewise(0xFFFFFFFF, bytes), 0xCBF43926u);
    EXPECT_EQ(~UpdateCrc32Bytewise(0xFFFFFFFF, {}), 0u);
}

TEST(Crc32, VariantsMatchTheReference) {
    std::mt19937 random(1234);
    std::vector<std::uint8_t> data(70000);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(random());
    }
    std::vector<std::size_t> lengths = {0,   1,   7,   8,   15,  16,  63,  64,  65,  127,  128,
                                        129, 143, 191, 192, 255, 256, 383, 384, 511, 4096, 65535};
    for (int i = 0; i < 200; ++i) {
        lengths.push_back(random() % 3000);
    }
    for (const Variant& variant : kVariants) {
        for (std::size_t length : lengths) {
            for (std::size_t alignment = 0; alignment < 16; alignment += 5) {
                const std::span<const std::uint8_t> slice(data.data() + alignment, length);
                const std::uint32_t start = static_cast<std::uint32_t>(random());
                ASSERT_EQ(variant.function(start, slice), UpdateCrc32Bytewise(start, slice))
                    << variant.name << " length " << length << " alignment " << alignment;
            }
        }
    }
}

TEST(Crc32, SplitUpdatesEqualOneUpdate) {
    std::vector<std::uint8_t> data(5000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 131 + 7);
    }
    const std::uint32_t whole = UpdateCrc32(0xFFFFFFFF, data);
    for (std::size_t split : {1u, 100u, 777u, 4096u}) {
        const std::span<const std::uint8_t> all(data);
        const std::uint32_t first = UpdateCrc32(0xFFFFFFFF, all.first(split));
        EXPECT_EQ(UpdateCrc32(first, all.subspan(split)), whole) << split;
    }
}

}  // namespace
}  // namespace setup::zip
