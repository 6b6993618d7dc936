#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "InfoZip.h"
#include "RoundTrip.h"
#include "TestInputs.h"
#include "support/zipenc/ImplodeEncoder.h"
#include "support/zipenc/ZipEntries.h"

namespace setup::zipenc::testing {
namespace {

struct ImplodeCase {
    const char* label;
    ImplodeOptions options;
};

const ImplodeCase kImplodeCases[] = {
    {"4 KB, literal tree", {.largeDictionary = false, .literalTree = true}},
    {"4 KB, plain literals", {.largeDictionary = false, .literalTree = false}},
    {"8 KB, literal tree", {.largeDictionary = true, .literalTree = true}},
    {"8 KB, plain literals", {.largeDictionary = true, .literalTree = false}},
};

const NamedInput& Input(const std::vector<NamedInput>& inputs, const std::string& name) {
    return *std::find_if(inputs.begin(), inputs.end(),
                         [&](const NamedInput& i) { return i.name == name; });
}

TEST(ImplodeEncoder, InfoZipExtractsEveryInputUnderEverySetting) {
    if (!InfoZipAvailable()) {
        GTEST_SKIP() << kUnzip << " is not installed";
    }
    const std::vector<NamedInput> inputs = StandardInputs();
    for (const ImplodeCase& c : kImplodeCases) {
        SCOPED_TRACE(c.label);
        ZipWriter writer;
        for (const NamedInput& input : inputs) {
            writer.Add(ImplodedEntry(input.name, input.data, c.options));
        }
        ExpectInfoZipExtracts(writer, inputs);
    }
}

TEST(ImplodeEncoder, FlagsCarryDictionaryAndLiteralTree) {
    EXPECT_EQ(ImplodeFlags({.largeDictionary = false, .literalTree = false}), 0);
    EXPECT_EQ(ImplodeFlags({.largeDictionary = true, .literalTree = false}), 2);
    EXPECT_EQ(ImplodeFlags({.largeDictionary = false, .literalTree = true}), 4);
    EXPECT_EQ(ImplodeFlags({.largeDictionary = true, .literalTree = true}), 6);
}

TEST(ImplodeEncoder, LaysOutTablesThenItemsBitByBit) {
    // Unused symbols count like single uses, so both trees here are flat: 64 codes
    // of 6 bits, sent as four runs of 16 (0xF5), and symbol 0 gets code 111111.
    const Bytes flatTable = {0x03, 0xF5, 0xF5, 0xF5, 0xF5};
    Bytes expected = flatTable;
    expected.insert(expected.end(), flatTable.begin(), flatTable.end());
    // "aaa": literal 'a' (1, then 0x61 in 8 plain bits), a match of length 2 at
    // distance 1 (0, six low distance bits 000000, distance code 111111, length
    // code 111111).
    expected.insert(expected.end(), {0xC3, 0x00, 0xFF, 0x0F});
    ImplodeEncoder encoder({.largeDictionary = false, .literalTree = false});
    EXPECT_EQ(encoder.Encode(TextBytes("aaa")), expected);
    EXPECT_EQ(encoder.Stats().literals, 1u);
    EXPECT_EQ(encoder.Stats().matches, 1u);
    EXPECT_EQ(encoder.Stats().treeBytes, 10u);
}

// What each input is in the round trips for.
struct CoverageCase {
    const char* input;
    ImplodeOptions options;
    std::size_t shortestMatch;    // 0: not checked
    std::size_t longestMatch;     // 0: not checked
    std::size_t longestDistance;  // 0: not checked
    bool wantsExtraLengthByte;
    int minLongestLiteralCode;  // 0: not checked
};

TEST(ImplodeEncoder, InputsExerciseTheFormatLimits) {
    const CoverageCase cases[] = {
        // Runs reach the longest match and need length code 63 with its byte.
        {"runs.bin", {.literalTree = true}, 0, 321, 0, true, 0},
        {"runs.bin", {.literalTree = false}, 0, 320, 0, true, 0},
        // A repeat at exactly the dictionary size: distance code 63, low bits all set.
        {"distance4k.bin", {.largeDictionary = false}, 0, 300, 4096, true, 0},
        {"distance8k.bin", {.largeDictionary = true}, 0, 300, 8192, true, 0},
        // Without a literal tree two bytes make a match, with one three.
        {"mixed.bin", {.literalTree = false}, 2, 0, 0, false, 0},
        {"mixed.bin", {.literalTree = true}, 3, 0, 0, false, 0},
        // Uneven literals give codes longer than a 9-bit lookup table.
        {"rare.bin", {.largeDictionary = true, .literalTree = true}, 3, 0, 0, false, 13},
        {"rare.bin", {.largeDictionary = false, .literalTree = true}, 3, 0, 0, false, 13},
    };
    const std::vector<NamedInput> inputs = StandardInputs();
    for (const CoverageCase& c : cases) {
        SCOPED_TRACE(c.input);
        SCOPED_TRACE(ImplodeFlags(c.options));
        ImplodeEncoder encoder(c.options);
        encoder.Encode(Input(inputs, c.input).data);
        const ImplodeStats& s = encoder.Stats();
        if (c.shortestMatch != 0) {
            EXPECT_EQ(s.shortestMatch, c.shortestMatch);
        }
        if (c.longestMatch != 0) {
            EXPECT_EQ(s.longestMatch, c.longestMatch);
        }
        if (c.longestDistance != 0) {
            EXPECT_EQ(s.longestDistance, c.longestDistance);
        }
        EXPECT_EQ(s.extraLengthMatches > 0, c.wantsExtraLengthByte);
        EXPECT_GE(s.longestLiteralCode, c.minLongestLiteralCode);
        EXPECT_LE(s.longestLiteralCode, 16);
        EXPECT_LE(s.longestLengthCode, 16);
        EXPECT_LE(s.longestDistanceCode, 16);
    }
}

TEST(ImplodeEncoder, MatchBeforeTheStartOfTheOutputGivesZeros) {
    if (!InfoZipAvailable()) {
        GTEST_SKIP() << kUnzip << " is not installed";
    }
    // Five bytes copied from three bytes before the start, then a literal.
    const ImplodeToken tokens[] = {{.length = 5, .distance = 3}, {.literal = 'A'}};
    const Bytes plain = {0, 0, 0, 0, 0, 'A'};
    for (const ImplodeCase& c : kImplodeCases) {
        SCOPED_TRACE(c.label);
        ImplodeEncoder encoder(c.options);
        ZipEntry entry = ImplodedEntry("zeros.bin", plain, c.options);
        entry.data = encoder.EncodeTokens(tokens);
        ZipWriter writer;
        writer.Add(entry);
        ExpectInfoZipExtracts(writer, {{"zeros.bin", plain}});
    }
}

TEST(ImplodeEncoder, RejectsItemsOutsideTheFormat) {
    struct BadToken {
        ImplodeOptions options;
        ImplodeToken token;
    };
    const BadToken cases[] = {
        {{.literalTree = true}, {.length = 2, .distance = 1}},
        {{.literalTree = true}, {.length = 322, .distance = 1}},
        {{.literalTree = false}, {.length = 1, .distance = 1}},
        {{.literalTree = false}, {.length = 321, .distance = 1}},
        {{.largeDictionary = false}, {.length = 3, .distance = 0}},
        {{.largeDictionary = false}, {.length = 3, .distance = 4097}},
        {{.largeDictionary = true}, {.length = 3, .distance = 8193}},
    };
    for (const BadToken& c : cases) {
        SCOPED_TRACE(c.token.length);
        SCOPED_TRACE(c.token.distance);
        ImplodeEncoder encoder(c.options);
        EXPECT_THROW(encoder.EncodeTokens({&c.token, 1}), std::invalid_argument);
    }
    // The limits themselves are fine.
    ImplodeEncoder large({.largeDictionary = true, .literalTree = true});
    const ImplodeToken edge[] = {{.length = 321, .distance = 8192}, {.length = 3, .distance = 1}};
    EXPECT_NO_THROW(large.EncodeTokens(edge));
}

}  // namespace
}  // namespace setup::zipenc::testing
