// CRC-32 as ZIP uses it (reflected polynomial 0xEDB88320, initial value and final
// XOR all ones), computed bit by bit. Deliberately the plainest form: test archives
// are checked against it, so it must not share a table or a shortcut with the
// product's own CRC code.
#pragma once

#include <cstdint>
#include <span>

namespace setup::zipenc {

std::uint32_t Crc32(std::span<const std::uint8_t> data);

}  // namespace setup::zipenc
