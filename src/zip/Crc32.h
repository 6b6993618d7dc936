// CRC-32 of ISO 3309 / ITU-T V.42 as the ZIP format uses it: the reflected
// polynomial 0xEDB88320, register preset to 0xFFFFFFFF and complemented after the
// last byte. The functions here work on the register itself; callers do the preset
// and the final complement.
//
// UpdateCrc32 is the one entry point the extractor uses. It picks the fastest
// variant the processor supports; every variant must give the same register as the
// one-lookup-per-byte reference, which the tests hold them to.
#pragma once

#include <cstdint>
#include <span>

namespace setup::zip {

// The fastest available variant.
std::uint32_t UpdateCrc32(std::uint32_t crc, std::span<const std::uint8_t> data);

// The reference: one table lookup per byte.
std::uint32_t UpdateCrc32Bytewise(std::uint32_t crc, std::span<const std::uint8_t> data);
// Slicing-by-8: eight tables, eight bytes per step; portable, also on 32-bit x86.
std::uint32_t UpdateCrc32Slicing(std::uint32_t crc, std::span<const std::uint8_t> data);
// Carry-less multiplication (PCLMULQDQ) folding 64 bytes per step; falls back to
// slicing where the processor lacks the instructions.
std::uint32_t UpdateCrc32Clmul(std::uint32_t crc, std::span<const std::uint8_t> data);
// Whether UpdateCrc32Clmul really uses carry-less multiplication here.
bool Crc32ClmulAvailable();
// The same on 256-bit registers (VPCLMULQDQ, AVX2), 128 bytes per step; only the
// 64-bit x86 build has it, elsewhere and on processors without it this is
// UpdateCrc32Clmul.
std::uint32_t UpdateCrc32ClmulWide(std::uint32_t crc, std::span<const std::uint8_t> data);
bool Crc32ClmulWideAvailable();
#if defined(__GNUC__) && defined(__x86_64__)
inline constexpr bool kCrc32ClmulWideBuilt = true;
#else
inline constexpr bool kCrc32ClmulWideBuilt = false;
#endif

}  // namespace setup::zip
