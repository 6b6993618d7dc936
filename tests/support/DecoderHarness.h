// Runs one decoder over bytes in memory and collects what it wrote: the tests'
// way to drive a decoder without an archive, and the fuzz targets'. A write limit
// bounds the output of inputs that expand without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "zip/Decoders.h"
#include "zip/MemoryFile.h"

namespace setup::zip::testing {

// The fuzz targets' write limit: enough for every interesting stream, and cheap.
inline constexpr std::size_t kFuzzOutputLimit = 4 << 20;

struct DecodeResult {
    std::int32_t code = 0;
    std::vector<std::uint8_t> output;
    std::uint32_t crc = 0;
};

using Decoder = std::int32_t (*)(ExtractState&);

inline DecodeResult DecodeFromMemory(
    Decoder decoder, std::span<const std::uint8_t> data, std::int32_t compressedSize,
    std::int32_t size, std::uint16_t flags = 0,
    std::size_t outputLimit = std::numeric_limits<std::size_t>::max()) {
    MemoryFile archive(data);
    MemoryFile target({}, outputLimit);
    ExtractState state;
    state.Archive = &archive;
    state.Target = &target;
    state.BeginEntry(compressedSize, size, flags);
    DecodeResult result;
    result.code = decoder(state);
    result.output = std::move(target.Written);
    result.crc = ~state.RunningCrc;
    return result;
}

inline DecodeResult DecodeFromMemory(Decoder decoder, std::span<const std::uint8_t> data,
                                     std::int32_t size = 0, std::uint16_t flags = 0) {
    return DecodeFromMemory(decoder, data, static_cast<std::int32_t>(data.size()), size, flags);
}

}  // namespace setup::zip::testing
