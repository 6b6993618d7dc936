#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "InfoZip.h"
#include "RoundTrip.h"
#include "TestInputs.h"
#include "support/zipenc/ShrinkEncoder.h"
#include "support/zipenc/ZipEntries.h"

namespace setup::zipenc::testing {
namespace {

struct ShrinkCase {
    const char* label;
    ShrinkOptions options;
};

// The default, and settings that make small inputs fill the table, clear it
// often (with orphans and codes that become their own parent), and clear it while
// most of it is still in use.
const ShrinkCase kShrinkCases[] = {
    {"default", {}},
    {"widest 9 bits", {.maxCodeBits = 9}},
    {"widest 10 bits, clear every 7 codes", {.maxCodeBits = 10, .clearInterval = 7}},
    {"clear every 40 codes", {.clearInterval = 40}},
    {"widest 11 bits, clear every 600 codes", {.maxCodeBits = 11, .clearInterval = 600}},
};

TEST(ShrinkEncoder, InfoZipExtractsEveryInputUnderEverySetting) {
    if (!InfoZipAvailable()) {
        GTEST_SKIP() << kUnzip << " is not installed";
    }
    const std::vector<NamedInput> inputs = StandardInputs();
    for (const ShrinkCase& c : kShrinkCases) {
        SCOPED_TRACE(c.label);
        ZipWriter writer;
        for (const NamedInput& input : inputs) {
            writer.Add(ShrunkEntry(input.name, input.data, c.options));
        }
        ExpectInfoZipExtracts(writer, inputs);
    }
}

TEST(ShrinkEncoder, PacksNineBitCodesLeastSignificantBitFirst) {
    // "aaaa": 'a' (97), then 257 = "aa", the entry that very step defines, then 'a'.
    const Bytes input = TextBytes("aaaa");
    ShrinkEncoder encoder;
    EXPECT_EQ(encoder.Encode(input), (Bytes{0x61, 0x02, 0x86, 0x01}));
    EXPECT_EQ(encoder.Stats().codes, 3u);
    EXPECT_EQ(encoder.Stats().kwkwkCodes, 1u);
}

TEST(ShrinkEncoder, EmptyInputGivesNoData) {
    EXPECT_TRUE(Shrink({}).empty());
}

// The round trips only prove something about a feature when the encoder used it;
// these are the features each setting is there for.
struct CoverageCase {
    const char* input;
    ShrinkOptions options;
    std::size_t minGrowths, maxGrowths;
    std::size_t minClears;
    bool wantsReuse, wantsOrphans, wantsSelfParented, wantsKwkwk;
};

TEST(ShrinkEncoder, SettingsExerciseTheFormatFeatures) {
    const CoverageCase cases[] = {
        // Grows 9 -> 13 bits and clears the full table repeatedly.
        {"mixed.bin", {}, 4, 4, 10, true, false, false, true},
        {"random.bin", {}, 4, 4, 1, true, false, false, false},
        {"runs.bin", {}, 1, 1, 0, false, false, false, true},
        // Never grows, clears a 9-bit table over and over.
        {"mixed.bin", {.maxCodeBits = 9}, 0, 0, 500, true, false, false, true},
        // Clears between almost every pair of codes.
        {"mixed.bin", {.maxCodeBits = 10, .clearInterval = 7}, 0, 1, 1000, true, true, true, true},
        // A clear while only the first few codes are in use; freed codes are reused.
        {"short.txt", {.clearInterval = 40}, 0, 0, 1, true, false, false, false},
    };
    const std::vector<NamedInput> inputs = StandardInputs();
    for (const CoverageCase& c : cases) {
        SCOPED_TRACE(c.input);
        SCOPED_TRACE(c.options.clearInterval);
        const auto input = std::find_if(inputs.begin(), inputs.end(),
                                        [&](const NamedInput& i) { return i.name == c.input; });
        ASSERT_NE(input, inputs.end());
        ShrinkEncoder encoder(c.options);
        encoder.Encode(input->data);
        const ShrinkStats& s = encoder.Stats();
        EXPECT_GE(s.growths, c.minGrowths);
        EXPECT_LE(s.growths, c.maxGrowths);
        EXPECT_LE(s.finalCodeBits, c.options.maxCodeBits);
        EXPECT_GE(s.partialClears, c.minClears);
        EXPECT_EQ(s.reusedCodes > 0, c.wantsReuse);
        EXPECT_EQ(s.orphans > 0, c.wantsOrphans);
        EXPECT_EQ(s.selfParented > 0, c.wantsSelfParented);
        EXPECT_EQ(s.kwkwkCodes > 0, c.wantsKwkwk);
        if (c.minClears > 0) {
            EXPECT_GT(s.freedCodes, 0u);
        }
    }
}

TEST(ShrinkEncoder, RejectsCodeWidthsOutsideTheFormat) {
    for (int bits : {8, 14}) {
        SCOPED_TRACE(bits);
        EXPECT_THROW(ShrinkEncoder({.maxCodeBits = bits}), std::invalid_argument);
    }
}

}  // namespace
}  // namespace setup::zipenc::testing
