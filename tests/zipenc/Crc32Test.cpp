#include <gtest/gtest.h>

#include "TestInputs.h"
#include "support/zipenc/Crc32.h"

namespace setup::zipenc::testing {
namespace {

TEST(Crc32, KnownValues) {
    struct CrcCase {
        Bytes data;
        std::uint32_t crc;
    };
    const CrcCase cases[] = {
        {{}, 0x00000000},
        {TextBytes("a"), 0xE8B7BE43},
        {TextBytes("123456789"), 0xCBF43926},
        {TextBytes("The quick brown fox jumps over the lazy dog"), 0x414FA339},
        {Bytes(32, 0x00), 0x190A55AD},
        {Bytes(32, 0xFF), 0xFF6CAB0B},
    };
    for (const CrcCase& c : cases) {
        SCOPED_TRACE(c.data.size());
        EXPECT_EQ(Crc32(c.data), c.crc);
    }
}

}  // namespace
}  // namespace setup::zipenc::testing
