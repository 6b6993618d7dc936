// Runs one decoder over fuzz input from memory; output is checked, not kept
// beyond a bound, so that highly compressible inputs stay cheap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "zip/Decoders.h"
#include "zip/MemoryFile.h"

namespace setup::zip::fuzzing {

inline constexpr std::size_t kOutputLimit = 4 << 20;

inline void Decode(std::int32_t (*decoder)(ExtractState&), std::span<const std::uint8_t> data,
                   std::int32_t size, std::uint16_t flags) {
    MemoryFile archive(data);
    MemoryFile target({}, kOutputLimit);
    ExtractState state;
    state.Archive = &archive;
    state.Target = &target;
    state.BeginEntry(static_cast<std::int32_t>(data.size()), size, flags);
    (void)decoder(state);
}

}  // namespace setup::zip::fuzzing
