// Ready-made archive entries from plain data: compressed with the test encoders,
// with CRC, sizes, flags and the version needed filled in. Fields can be changed
// afterwards (times, attributes, a data descriptor) before the entry is added.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "support/zipenc/ImplodeEncoder.h"
#include "support/zipenc/ShrinkEncoder.h"
#include "support/zipenc/ZipWriter.h"

namespace setup::zipenc {

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodShrunk = 1;
inline constexpr std::uint16_t kMethodImploded = 6;

ZipEntry StoredEntry(std::string name, std::span<const std::uint8_t> plain);
ZipEntry ShrunkEntry(std::string name, std::span<const std::uint8_t> plain,
                     const ShrinkOptions& options = {});
ZipEntry ImplodedEntry(std::string name, std::span<const std::uint8_t> plain,
                       const ImplodeOptions& options = {});

}  // namespace setup::zipenc
