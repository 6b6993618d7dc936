// CRC-32 by carry-less multiplication (PCLMULQDQ), chosen at run time.
//
// A CRC is the remainder of the message polynomial times x^32 modulo P. The
// remainder is linear, so a 128-bit block A followed by n more bits can be moved
// forward ("folded") by multiplying its two 64-bit halves by x^(n+64) mod P and
// x^n mod P and XORing the products into the data n bits later. Four 128-bit
// accumulators fold 64 bytes per step (in the 64-bit build eight fold 128 first,
// then four); at the end they are folded into one, that one into 64 bits, and a
// Barrett reduction yields the 32-bit remainder. In the
// reflected domain each constant is stored bit-reversed and shifted by one, and
// the register simply enters as the first 32 bits of the data.
//
// Constants (reflected, as in Intel's white paper on CRC computation with
// PCLMULQDQ): k1 = x^(4*128+32) mod P and k2 = x^(4*128-32) mod P for the 64-byte
// fold, k3/k4 the same for a 16-byte fold, k5 = x^64 mod P, then P itself and
// mu = floor(x^64 / P) for the reduction.
//
// The code is compiled for the instructions it needs with a target attribute, so
// the rest of the program stays runnable on processors without them.
#include "zip/Crc32.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define SETUP_CRC32_CLMUL 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace setup::zip {

#ifdef SETUP_CRC32_CLMUL
namespace {

#define SETUP_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

SETUP_CLMUL_TARGET inline __m128i Load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// acc moved forward by the distance k stands for, XORed into the data there.
SETUP_CLMUL_TARGET inline __m128i Fold(__m128i acc, __m128i k, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

SETUP_CLMUL_TARGET std::uint32_t FoldBlocks(std::uint32_t crc, const std::uint8_t* p,
                                            std::size_t n) {
    // n is at least 64 and a multiple of 16.
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596LL, 0x0154442bd4LL);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009eLL, 0x01751997d0LL);
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124LL);
    const __m128i poly = _mm_set_epi64x(0x01f7011641LL, 0x01db710641LL);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(p + 16);
    __m128i x3 = Load(p + 32);
    __m128i x4 = Load(p + 48);
    p += 64;
    n -= 64;
#ifdef __x86_64__
    // With sixteen vector registers, eight accumulators keep more multiplications
    // in flight: 128 bytes per step (k = x^(8*128+32) and x^(8*128-32) mod P),
    // then folded to four. The 32-bit build has eight registers and keeps four.
    if (n >= 64) {
        const __m128i k8 = _mm_set_epi64x(0x014a7fe880LL, 0x01e88ef372LL);
        __m128i x5 = Load(p);
        __m128i x6 = Load(p + 16);
        __m128i x7 = Load(p + 32);
        __m128i x8 = Load(p + 48);
        p += 64;
        n -= 64;
        while (n >= 128) {
            x1 = Fold(x1, k8, Load(p));
            x2 = Fold(x2, k8, Load(p + 16));
            x3 = Fold(x3, k8, Load(p + 32));
            x4 = Fold(x4, k8, Load(p + 48));
            x5 = Fold(x5, k8, Load(p + 64));
            x6 = Fold(x6, k8, Load(p + 80));
            x7 = Fold(x7, k8, Load(p + 96));
            x8 = Fold(x8, k8, Load(p + 112));
            p += 128;
            n -= 128;
        }
        x1 = Fold(x1, k1k2, x5);
        x2 = Fold(x2, k1k2, x6);
        x3 = Fold(x3, k1k2, x7);
        x4 = Fold(x4, k1k2, x8);
    }
#endif
    while (n >= 64) {
        x1 = Fold(x1, k1k2, Load(p));
        x2 = Fold(x2, k1k2, Load(p + 16));
        x3 = Fold(x3, k1k2, Load(p + 32));
        x4 = Fold(x4, k1k2, Load(p + 48));
        p += 64;
        n -= 64;
    }
    x1 = Fold(x1, k3k4, x2);
    x1 = Fold(x1, k3k4, x3);
    x1 = Fold(x1, k3k4, x4);
    while (n >= 16) {
        x1 = Fold(x1, k3k4, Load(p));
        p += 16;
        n -= 16;
    }

    // 128 bits to 64: the low half times k4 joins the high half.
    __m128i x2r = _mm_clmulepi64_si128(x1, k3k4, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
    // 64 bits to 32 plus the remaining 32: the low 32 bits times k5.
    x2r = _mm_srli_si128(x1, 4);
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00);
    x1 = _mm_xor_si128(x1, x2r);
    // Barrett reduction: q = floor(x * mu), remainder = x - q * P.
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), poly, 0x00);
    x1 = _mm_xor_si128(x1, q);
    return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

bool DetectClmul() {
    // Leaf 1, ECX: bit 1 is PCLMULQDQ, bit 19 is SSE4.1. Asking cpuid directly
    // keeps the compiler's CPU-model tables out of the program.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    return (ecx & bit_PCLMUL) != 0 && (ecx & bit_SSE4_1) != 0;
}

}  // namespace

bool Crc32ClmulAvailable() {
    static const bool available = DetectClmul();
    return available;
}

std::uint32_t UpdateCrc32Clmul(std::uint32_t crc, std::span<const std::uint8_t> data) {
    if (data.size() < 64 || !Crc32ClmulAvailable()) {
        return UpdateCrc32Slicing(crc, data);
    }
    const std::size_t folded = data.size() & ~std::size_t{15};
    crc = FoldBlocks(crc, data.data(), folded);
    return UpdateCrc32Slicing(crc, data.subspan(folded));
}

#else

bool Crc32ClmulAvailable() {
    return false;
}

std::uint32_t UpdateCrc32Clmul(std::uint32_t crc, std::span<const std::uint8_t> data) {
    return UpdateCrc32Slicing(crc, data);
}

#endif

}  // namespace setup::zip
