#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

#include "support/zipenc/ShannonFanoCode.h"

namespace setup::zipenc {
namespace {

using Lengths = std::vector<std::uint8_t>;

// The code assignment as PKWARE's note describes it, written independently: sort
// the lengths ascending (ties keep symbol order), walk the sorted list from its
// end with a 16-bit code that grows by 2^(16 - length) per step, then keep the
// top `length` bits.
std::vector<std::uint16_t> NoteCodes(const Lengths& lengths) {
    std::vector<std::size_t> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return lengths[a] < lengths[b]; });
    std::vector<std::uint16_t> codes(lengths.size());
    std::uint32_t code = 0;
    std::uint32_t increment = 0;
    int lastLength = 0;
    for (std::size_t i = order.size(); i-- > 0;) {
        code += increment;
        const int length = lengths[order[i]];
        if (length != lastLength) {
            lastLength = length;
            increment = 1u << (16 - length);
        }
        codes[order[i]] = static_cast<std::uint16_t>(code >> (16 - length));
    }
    return codes;
}

std::uint64_t KraftSum(const Lengths& lengths) {
    std::uint64_t sum = 0;
    for (auto length : lengths) {
        sum += std::uint64_t{1} << (16 - length);
    }
    return sum;
}

TEST(ShannonFanoCode, CodesFollowTheSortedListRule) {
    Lengths mixed = ShannonFanoLengths(std::vector<std::uint32_t>{50, 1, 7, 7, 300, 2, 0, 90, 12});
    const Lengths cases[] = {
        {1, 1},         {2, 1, 2}, {2, 2, 2, 2}, {3, 2, 3, 2, 2}, {4, 4, 3, 1, 4, 4, 3},
        Lengths(64, 6), mixed,
    };
    for (const Lengths& lengths : cases) {
        SCOPED_TRACE(::testing::PrintToString(lengths));
        EXPECT_EQ(ShannonFanoCodes(lengths), NoteCodes(lengths));
    }
}

TEST(ShannonFanoCode, ShortCodesGetTheHighestValues) {
    // Lengths {2, 1, 2}: symbol 1 is "1", symbols 0 and 2 are "01" and "00".
    EXPECT_EQ(ShannonFanoCodes(Lengths{2, 1, 2}), (std::vector<std::uint16_t>{1, 1, 0}));
}

struct FrequencyCase {
    const char* label;
    std::vector<std::uint32_t> frequencies;
};

std::vector<std::uint32_t> Fibonacci(std::size_t count) {
    std::vector<std::uint32_t> f(count);
    std::uint64_t a = 1, b = 1;
    for (auto& x : f) {
        x = static_cast<std::uint32_t>(std::min<std::uint64_t>(a, 0xFFFFFFFFu));
        a = std::exchange(b, a + b);
    }
    return f;
}

TEST(ShannonFanoCode, LengthsFormCompleteCodesOfAtMostSixteenBits) {
    std::vector<std::uint32_t> oneDominant(256, 0);
    oneDominant[' '] = 1000000;
    std::vector<std::uint32_t> random(256);
    std::mt19937 generator(5);
    for (auto& f : random) {
        f = static_cast<std::uint32_t>(generator() % 5000);
    }
    const FrequencyCase cases[] = {
        {"nothing used", std::vector<std::uint32_t>(256, 0)},
        {"all equal", std::vector<std::uint32_t>(64, 10)},
        {"one dominant", oneDominant},
        // Unlimited, these would be 40 and 255 levels deep.
        {"fibonacci 64", Fibonacci(64)},
        {"fibonacci 256", Fibonacci(256)},
        {"random", random},
        {"two symbols", {3, 0}},
    };
    for (const FrequencyCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Lengths lengths = ShannonFanoLengths(c.frequencies);
        ASSERT_EQ(lengths.size(), c.frequencies.size());
        EXPECT_EQ(KraftSum(lengths), std::uint64_t{1} << 16);
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            EXPECT_GE(lengths[i], 1);
            EXPECT_LE(lengths[i], 16);
            // A more frequent symbol never gets a longer code.
            for (std::size_t j = 0; j < lengths.size(); ++j) {
                if (c.frequencies[i] > c.frequencies[j]) {
                    ASSERT_LE(lengths[i], lengths[j]) << i << " vs " << j;
                }
            }
        }
    }
    EXPECT_EQ(ShannonFanoLengths(std::vector<std::uint32_t>(256, 0)), Lengths(256, 8));
    EXPECT_EQ(ShannonFanoLengths(std::vector<std::uint32_t>(64, 10)), Lengths(64, 6));
}

TEST(ShannonFanoCode, RefusesLengthsThatAreNoCompleteCode) {
    const Lengths cases[] = {
        {1, 2},      // incomplete
        {1, 1, 1},   // oversubscribed
        {0, 1, 1},   // length 0 cannot be sent
        {17, 1, 1},  // nor 17
    };
    for (const Lengths& lengths : cases) {
        SCOPED_TRACE(::testing::PrintToString(lengths));
        EXPECT_THROW(ShannonFanoCodes(lengths), std::invalid_argument);
    }
}

// The table as a decoder reads it: a count byte, then (run - 1, length - 1) nibbles.
Lengths UnpackCodeLengths(const std::vector<std::uint8_t>& packed) {
    Lengths lengths;
    const std::size_t runs = packed.at(0) + 1u;
    EXPECT_EQ(packed.size(), runs + 1);
    for (std::size_t i = 1; i <= runs; ++i) {
        lengths.insert(lengths.end(), (packed.at(i) >> 4) + 1u,
                       static_cast<std::uint8_t>((packed.at(i) & 0x0F) + 1));
    }
    return lengths;
}

TEST(ShannonFanoCode, PacksLengthsAsRuns) {
    struct PackCase {
        Lengths lengths;
        std::vector<std::uint8_t> packed;
    };
    const PackCase cases[] = {
        {{3, 3, 3, 5}, {0x01, 0x22, 0x04}},
        {Lengths(16, 4), {0x00, 0xF3}},
        {Lengths(17, 4), {0x01, 0xF3, 0x03}},
        {{16, 1}, {0x01, 0x0F, 0x00}},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.lengths));
        EXPECT_EQ(PackCodeLengths(c.lengths), c.packed);
    }
    // No two neighbours equal: one run per symbol, the most a table can hold.
    Lengths alternating(256);
    for (std::size_t i = 0; i < alternating.size(); ++i) {
        alternating[i] = static_cast<std::uint8_t>(8 + i % 2);
    }
    const auto packed = PackCodeLengths(alternating);
    EXPECT_EQ(packed.size(), 257u);
    EXPECT_EQ(packed[0], 0xFF);
    EXPECT_EQ(UnpackCodeLengths(packed), alternating);

    std::mt19937 generator(11);
    Lengths random(256);
    for (auto& length : random) {
        length = static_cast<std::uint8_t>(1 + generator() % 3 * 5);
    }
    EXPECT_EQ(UnpackCodeLengths(PackCodeLengths(random)), random);
}

}  // namespace
}  // namespace setup::zipenc
