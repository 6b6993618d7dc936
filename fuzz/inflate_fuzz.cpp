// Inflate over arbitrary bytes, checked against zlib: whatever zlib decodes whole,
// inflate must decode to the same bytes. zlib gets a dictionary of 32 KB of zeros,
// which is what a distance reaching before the entry's first byte copies here.
// The other way round is not checked, since inflate also accepts streams zlib
// refuses by its own rules (incomplete distance codes, 287 length codes declared).
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "support/DecoderHarness.h"

namespace {

// zlib's decoding of `data`, when it reaches the end of the stream within the
// output limit.
std::optional<std::span<const std::uint8_t>> InflateWithZlib(std::span<const std::uint8_t> data) {
    static const std::vector<std::uint8_t> zeros(32768, 0);
    static std::vector<std::uint8_t> out(setup::zip::testing::kFuzzOutputLimit);
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) {
        return std::nullopt;
    }
    inflateSetDictionary(&stream, zeros.data(), static_cast<uInt>(zeros.size()));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(out.data(), produced);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const auto result = setup::zip::testing::DecodeFromMemory(
        setup::zip::InflateEntry, input, static_cast<std::int32_t>(size), 0, 0,
        setup::zip::testing::kFuzzOutputLimit);
    const auto expected = InflateWithZlib(input);
    if (expected && (result.code != 0 || !std::ranges::equal(result.output, *expected))) {
        std::abort();  // zlib decoded it, and inflate did not, or differently
    }
    return 0;
}
