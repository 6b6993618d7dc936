// A length or distance entry consumes its code and its extra bits together and
// takes the extra value from the bits it consumed. Checked for every symbol of a
// small code whose longer codes land in sub-tables, with the smallest, a middle
// and the largest extra value, and garbage above them.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "zip/DecodeTables.h"

namespace setup::zip {
namespace {

TEST(BaseEntry, ConsumesCodeAndExtraBitsAndAddsTheExtraValue) {
    constexpr std::uint32_t kRoot = 3;
    // Codes 0, 10, 110, 1110, 11110, 111110, 111111 (bit-reversed on reading).
    const std::array<std::uint8_t, 7> lengths{1, 2, 3, 4, 5, 6, 6};
    const std::array<std::uint16_t, 7> base{3, 10, 100, 1000, 20000, 7, 9};
    const std::array<std::uint8_t, 7> extra{0, 2, 5, 13, 13, 1, kOpInvalid};
    std::vector<HuffEntry> table(64);
    ASSERT_EQ(BuildDecodeTablesInto(lengths, 0, base.data(), extra.data(), kRoot, table).Result,
              kTableComplete);

    std::uint32_t code = 0;
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        const std::uint32_t length = lengths[symbol];
        code = symbol == 0 ? 0 : (code + 1) << (length - lengths[symbol - 1]);
        std::uint32_t reversed = 0;
        for (std::uint32_t i = 0; i < length; ++i) {
            reversed |= ((code >> i) & 1) << (length - 1 - i);
        }
        const std::uint32_t extraBits = extra[symbol] == kOpInvalid ? 0 : extra[symbol];
        const std::uint32_t largest = (1u << extraBits) - 1;
        for (const std::uint32_t value : {0u, largest / 2, largest}) {
            std::uint64_t bits = reversed | std::uint64_t{value} << length |
                                 std::uint64_t{0xA5A5} << (length + extraBits);
            EntryWord entry = LoadEntryWord(&table[bits & ((1u << kRoot) - 1)]);
            std::uint32_t codeBits = length;
            if (IsLinkOp(EntryOp(entry))) {
                bits >>= kRoot;
                codeBits -= kRoot;
                entry = FollowLink(table.data(), entry, static_cast<std::uint32_t>(bits));
            }
            if (extra[symbol] == kOpInvalid) {
                EXPECT_TRUE(IsInvalidOp(EntryOp(entry))) << symbol;
                continue;
            }
            ASSERT_TRUE(IsBaseOp(EntryOp(entry))) << symbol;
            EXPECT_EQ(EntryOp(entry), codeBits) << symbol;
            EXPECT_EQ(EntryBits(entry), codeBits + extraBits) << symbol;
            EXPECT_EQ(BaseValue(entry, bits), base[symbol] + value) << symbol << " " << value;
            EXPECT_EQ(BaseValue(entry, static_cast<std::uint32_t>(bits)), base[symbol] + value);
        }
    }
}

}  // namespace
}  // namespace setup::zip
