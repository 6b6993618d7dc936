// Unshrink over arbitrary bytes (compressed size = input size).
#include "support/DecoderHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setup::zip::testing::DecodeFromMemory(setup::zip::UnshrinkEntry, {data, size},
                                          static_cast<std::int32_t>(size), 0, 0,
                                          setup::zip::testing::kFuzzOutputLimit);
    return 0;
}
