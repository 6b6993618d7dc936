// Runs one of our decoders the way extraction runs it, from memory to memory: the
// benchmarks' measure of "ours".
#pragma once

#include <cstdint>
#include <vector>

#include "zip/Decoders.h"
#include "zip/MemoryFile.h"

namespace setup::bench {

// Decodes `packed` into `target` (emptied first) through an ExtractState, CRC
// included; true when the output is `plain` by size and CRC. Without a target the
// output is only checked, as extraction checks an entry it does not write: the
// difference between the two is what the writes cost.
inline bool DecodeOurs(zip::MemoryFile* target, const std::vector<std::uint8_t>& packed,
                       const std::vector<std::uint8_t>& plain, std::uint32_t crc,
                       std::int32_t (*decoder)(zip::ExtractState&), std::uint16_t flags) {
    zip::MemoryFile archive(packed);
    if (target != nullptr) {
        target->Written.clear();
    }
    zip::ExtractState state;
    state.Archive = &archive;
    state.Target = target;
    state.BeginEntry(static_cast<std::int32_t>(packed.size()),
                     static_cast<std::int32_t>(plain.size()), flags);
    return decoder(state) == 0 && ~state.RunningCrc == crc &&
           (target == nullptr || target->Written.size() == plain.size());
}

}  // namespace setup::bench
