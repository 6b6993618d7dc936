// Unshrink over arbitrary bytes (compressed size = input size).
#include "DecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setup::zip::fuzzing::Decode(setup::zip::UnshrinkEntry, {data, size}, 0, 0);
    return 0;
}
