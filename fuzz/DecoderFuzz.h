// Runs one decoder over fuzz input from memory; output is checked, not kept
// beyond a bound, so that highly compressible inputs stay cheap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "zip/Decoders.h"
#include "zip/MemoryFile.h"

namespace setup::zip::fuzzing {

inline constexpr std::size_t kOutputLimit = 4 << 20;

// The decoder's result; `output`, when given, receives what it wrote.
inline std::int32_t Decode(std::int32_t (*decoder)(ExtractState&),
                           std::span<const std::uint8_t> data, std::int32_t size,
                           std::uint16_t flags, std::vector<std::uint8_t>* output = nullptr) {
    MemoryFile archive(data);
    MemoryFile target({}, kOutputLimit);
    ExtractState state;
    state.Archive = &archive;
    state.Target = &target;
    state.BeginEntry(static_cast<std::int32_t>(data.size()), size, flags);
    const std::int32_t result = decoder(state);
    if (output != nullptr) {
        *output = std::move(target.Written);
    }
    return result;
}

}  // namespace setup::zip::fuzzing
