// Inflate over arbitrary bytes.
#include "DecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setup::zip::fuzzing::Decode(setup::zip::InflateEntry, {data, size}, 0, 0);
    return 0;
}
