// Explode over arbitrary bytes. The first byte picks the dictionary size and the
// literal tree (flag bits 1 and 2), the next two the uncompressed size.
#include "support/DecoderHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const auto flags = static_cast<std::uint16_t>(data[0] & 6);
    const std::int32_t plainSize = (data[1] | data[2] << 8) * 16;
    setup::zip::testing::DecodeFromMemory(setup::zip::ExplodeEntry, {data + 3, size - 3},
                                          static_cast<std::int32_t>(size - 3), plainSize, flags,
                                          setup::zip::testing::kFuzzOutputLimit);
    return 0;
}
