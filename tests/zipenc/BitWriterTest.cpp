#include <gtest/gtest.h>

#include <stdexcept>

#include "support/zipenc/BitWriter.h"

namespace setup::zipenc {
namespace {

TEST(BitWriter, FieldsFillBytesFromTheLowestBitAndCodesStartWithTheirTopBit) {
    BitWriter out;
    out.Put(0b101, 3);              // 1, 0, 1
    out.Put(0x1FF, 9);              // nine ones, across the byte boundary
    out.PutCodeMsbFirst(0b110, 3);  // 1, 1, 0
    EXPECT_EQ(out.BitCount(), 15u);
    EXPECT_EQ(std::move(out).Finish(), (std::vector<std::uint8_t>{0xFD, 0x3F}));
}

TEST(BitWriter, WideFieldsAndAlignedBytes) {
    BitWriter out;
    out.PutAlignedByte(0xAB);
    out.Put(0x12345678, 32);
    out.Put(0, 0);
    out.Put(1, 1);
    EXPECT_THROW(out.PutAlignedByte(0), std::logic_error);
    EXPECT_EQ(std::move(out).Finish(),
              (std::vector<std::uint8_t>{0xAB, 0x78, 0x56, 0x34, 0x12, 0x01}));
}

}  // namespace
}  // namespace setup::zipenc
