// Methods 0, 1 and 6 from memory: round trips through the test encoders (whose
// output Info-ZIP's unzip accepts, see tests/zipenc) and hand-made streams for
// the edge cases of each format.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/DecoderHarness.h"
#include "support/zipenc/BitWriter.h"
#include "support/zipenc/Crc32.h"
#include "support/zipenc/ImplodeEncoder.h"
#include "support/zipenc/ShrinkEncoder.h"

namespace setup::zip {
namespace {

using testing::DecodeFromMemory;

std::vector<std::uint8_t> SampleData(std::size_t size, unsigned seed) {
    // Words from a small vocabulary with some noise: compressible, not trivially.
    static const char* words[] = {"alpha ", "beta ", "gamma ", "delta\n", "x", "yy", "0123 "};
    std::mt19937 random(seed);
    std::vector<std::uint8_t> data;
    while (data.size() < size) {
        if (random() % 10 == 0) {
            data.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const std::string word = words[random() % 7];
            data.insert(data.end(), word.begin(), word.end());
        }
    }
    data.resize(size);
    return data;
}

TEST(Stored, CopiesExactlyTheCompressedSize) {
    const auto data = SampleData(70000, 1);
    auto result = DecodeFromMemory(CopyStoredEntry, data, 70000);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, data);
    EXPECT_EQ(result.crc, zipenc::Crc32(data));

    result = DecodeFromMemory(CopyStoredEntry, {}, 0);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.crc, 0u);

    result = DecodeFromMemory(CopyStoredEntry, data, 70001, 70001);  // archive ends early
    EXPECT_EQ(result.code, -3);
}

TEST(Unshrink, RoundTripsThroughTheTestEncoder) {
    struct Case {
        std::size_t size;
        zipenc::ShrinkOptions options;
    };
    const Case cases[] = {
        {1, {}},
        {5000, {}},
        {300000, {}},                 // grows to 13 bits, clears when full
        {60000, {.maxCodeBits = 9}},  // many clears of a small table
        {60000, {.maxCodeBits = 10, .clearInterval = 700}},
    };
    unsigned seed = 10;
    for (const Case& c : cases) {
        const auto plain = SampleData(c.size, seed++);
        const auto packed = zipenc::Shrink(plain, c.options);
        const auto result =
            DecodeFromMemory(UnshrinkEntry, packed, static_cast<std::int32_t>(plain.size()));
        EXPECT_EQ(result.code, 0) << c.size;
        EXPECT_TRUE(result.output == plain) << c.size;
    }
}

TEST(Unshrink, HandMadeStreams) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, int>> codes;  // value, width
        std::int32_t code;
        std::string output;
    };
    const Case cases[] = {
        {"first code above 255 writes its low byte", {{0x141, 9}}, 0, "A"},
        {"code being defined", {{'a', 9}, {257, 9}}, 0, "aaa"},
        {"strings", {{'a', 9}, {'b', 9}, {257, 9}, {258, 9}}, 0, "ababba"},
        {"width grows", {{'a', 9}, {256, 9}, {1, 9}, {'b', 10}}, 0, "ab"},
        {"width past 13",
         {{'a', 9},
          {256, 9},
          {1, 9},
          {256, 10},
          {1, 10},
          {256, 11},
          {1, 11},
          {256, 12},
          {1, 12},
          {256, 13},
          {1, 13}},
         -4,
         ""},
        {"unknown control code", {{'a', 9}, {256, 9}, {3, 9}}, -4, ""},
        // 258 is free but not next: it decodes as a new string and leaves 258 to be
        // defined by the following code with itself as parent; reading it then loops.
        {"parent chain that cycles", {{'a', 9}, {258, 9}, {'c', 9}, {258, 9}}, -4, ""},
        {"partial clear frees leaves for reuse",
         {{'a', 9}, {'b', 9}, {'c', 9}, {256, 9}, {2, 9}, {'d', 9}, {257, 9}},
         0,
         "abcdcd"},
    };
    for (const Case& c : cases) {
        zipenc::BitWriter bits;
        for (auto [value, width] : c.codes) {
            bits.Put(value, width);
        }
        const std::size_t bitCount = bits.BitCount();
        const auto data = std::move(bits).Finish();
        // The compressed size leaves no room for one more 9-bit code.
        const auto result =
            DecodeFromMemory(UnshrinkEntry, data, static_cast<std::int32_t>((bitCount + 7) / 8), 0);
        EXPECT_EQ(result.code, c.code) << c.name;
        if (c.code == 0) {
            EXPECT_EQ(std::string(result.output.begin(), result.output.end()), c.output) << c.name;
        }
    }
}

TEST(Unshrink, RefusesAnUnknownSizeAndStopsAtTheEndOfTheData) {
    const auto packed = zipenc::Shrink(SampleData(2000, 3));
    EXPECT_EQ(DecodeFromMemory(UnshrinkEntry, packed, kUnknownSize, kUnknownSize).code, -6);
    // The header claims far more data than there is: the decoder must not spin on zeros.
    EXPECT_EQ(DecodeFromMemory(UnshrinkEntry, packed, 0x7FFFFFF0, 2000).code, -3);
}

TEST(Explode, RoundTripsThroughTheTestEncoder) {
    for (bool large : {false, true}) {
        for (bool literals : {false, true}) {
            for (std::size_t size : {1u, 3000u, 100000u}) {
                const zipenc::ImplodeOptions options{.largeDictionary = large,
                                                     .literalTree = literals};
                const auto plain = SampleData(size, static_cast<unsigned>(size));
                const auto packed = zipenc::Implode(plain, options);
                const auto result =
                    DecodeFromMemory(ExplodeEntry, packed, static_cast<std::int32_t>(plain.size()),
                                     zipenc::ImplodeFlags(options));
                EXPECT_EQ(result.code, 0) << large << literals << size;
                EXPECT_TRUE(result.output == plain) << large << literals << size;
            }
        }
    }
}

TEST(Explode, MatchesBeforeTheStartAndLongMatches) {
    const zipenc::ImplodeOptions options{.largeDictionary = true, .literalTree = false};
    zipenc::ImplodeEncoder encoder(options);
    const std::vector<zipenc::ImplodeToken> tokens = {
        {.length = 0, .distance = 0, .literal = 'x'},
        {.length = 4, .distance = 3},             // two zeros from before the start, "x", a zero
        {.length = 2 + 63 + 255, .distance = 1},  // length code 63 with all extra bits
    };
    const auto packed = encoder.EncodeTokens(tokens);
    const auto result =
        DecodeFromMemory(ExplodeEntry, packed, 1 + 4 + 320, zipenc::ImplodeFlags(options));
    ASSERT_EQ(result.code, 0);
    std::string expected = std::string("x\0\0x\0", 5) + std::string(320, '\0');
    EXPECT_EQ(std::string(result.output.begin(), result.output.end()), expected);
}

TEST(Explode, BadTreesAndTruncation) {
    const zipenc::ImplodeOptions options{};
    const auto plain = SampleData(5000, 7);
    auto packed = zipenc::Implode(plain, options);
    const std::uint16_t flags = zipenc::ImplodeFlags(options);

    auto tooMany = packed;
    tooMany[1] = 0xF0;  // the first description byte now repeats 16 times more
    tooMany[0] = 0xFF;  // and 256 such bytes follow
    EXPECT_EQ(DecodeFromMemory(ExplodeEntry, tooMany, 5000, flags).code, -4);

    const std::vector<std::uint8_t> incomplete = {0, 0x00};  // one literal code of length 1
    EXPECT_EQ(DecodeFromMemory(ExplodeEntry, incomplete, 5000, flags).code, -4);

    const std::span<const std::uint8_t> half(packed.data(), packed.size() / 2);
    EXPECT_EQ(DecodeFromMemory(ExplodeEntry, half, 5000, flags).code, -3);
}

}  // namespace
}  // namespace setup::zip
