// CRC-32, table-driven.
//
// The reflected CRC treats the lowest bit of each byte as the highest power of x,
// so the register shifts right and the polynomial 0x04C11DB7 appears bit-reversed as
// 0xEDB88320. Table[0][b] is the register change caused by the byte b: feeding a
// byte is "crc = T0[(crc ^ b) & 0xFF] ^ (crc >> 8)".
//
// Slicing-by-8 extends this: Tk[b] is the effect of byte b followed by k zero
// bytes, Tk[b] = T0[Tk-1[b] & 0xFF] ^ (Tk-1[b] >> 8). Eight input bytes then cost
// eight independent lookups whose results are XORed together, instead of a chain of
// eight dependent steps. The first four bytes are XORed into the register before
// the lookups because the register's four bytes are exactly what those input bytes
// meet; the other four meet zeros. The reads are assembled byte by byte, so the
// code is independent of alignment and byte order and runs on 32-bit x86 as well.
#include "zip/Crc32.h"

#include <array>
#include <memory>

namespace setup::zip {
namespace {

using SliceTables = std::array<std::array<std::uint32_t, 256>, 8>;

// Built once at start-up, on the heap: stored in the program file the tables
// would cost 8 KB of it.
std::unique_ptr<const SliceTables> MakeTables() {
    auto made = std::make_unique<SliceTables>();
    SliceTables& tables = *made;
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t crc = b;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        tables[0][b] = crc;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::uint32_t b = 0; b < 256; ++b) {
            const std::uint32_t previous = tables[k - 1][b];
            tables[k][b] = tables[0][previous & 0xFF] ^ (previous >> 8);
        }
    }
    return made;
}

const std::unique_ptr<const SliceTables> kTablesOwner = MakeTables();
const SliceTables& kTables = *kTablesOwner;

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::uint32_t UpdateCrc32Bytewise(std::uint32_t crc, std::span<const std::uint8_t> data) {
    for (std::uint8_t byte : data) {
        crc = kTables[0][(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return crc;
}

std::uint32_t UpdateCrc32Slicing(std::uint32_t crc, std::span<const std::uint8_t> data) {
    const std::uint8_t* p = data.data();
    std::size_t n = data.size();
    while (n >= 8) {
        const std::uint32_t low = LoadLe32(p) ^ crc;
        const std::uint32_t high = LoadLe32(p + 4);
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^
              kTables[2][(high >> 8) & 0xFF] ^ kTables[1][(high >> 16) & 0xFF] ^
              kTables[0][high >> 24];
        p += 8;
        n -= 8;
    }
    return UpdateCrc32Bytewise(crc, {p, n});
}

std::uint32_t UpdateCrc32(std::uint32_t crc, std::span<const std::uint8_t> data) {
    // The folding code needs some length to pay for its set-up and reduction.
    if constexpr (kCrc32ClmulWideBuilt) {
        if (data.size() >= 256 && Crc32ClmulWideAvailable()) {
            return UpdateCrc32ClmulWide(crc, data);
        }
    }
    if (data.size() >= 128 && Crc32ClmulAvailable()) {
        return UpdateCrc32Clmul(crc, data);
    }
    return UpdateCrc32Slicing(crc, data);
}

}  // namespace setup::zip
