// Runs one decoder over bytes in memory and collects what it wrote.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "zip/Decoders.h"
#include "zip/MemoryFile.h"

namespace setup::zip::testing {

struct DecodeResult {
    std::int32_t code = 0;
    std::vector<std::uint8_t> output;
    std::uint32_t crc = 0;
};

using Decoder = std::int32_t (*)(ExtractState&);

inline DecodeResult DecodeFromMemory(Decoder decoder, std::span<const std::uint8_t> data,
                                     std::int32_t compressedSize, std::int32_t size,
                                     std::uint16_t flags = 0) {
    MemoryFile archive(data);
    MemoryFile target({});
    ExtractState state;
    state.Archive = &archive;
    state.Target = &target;
    state.BeginEntry(compressedSize, size, flags);
    DecodeResult result;
    result.code = decoder(state);
    result.output = target.Written;
    result.crc = ~state.RunningCrc;
    return result;
}

inline DecodeResult DecodeFromMemory(Decoder decoder, std::span<const std::uint8_t> data,
                                     std::int32_t size = 0, std::uint16_t flags = 0) {
    return DecodeFromMemory(decoder, data, static_cast<std::int32_t>(data.size()), size, flags);
}

}  // namespace setup::zip::testing
