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
// Processors with VPCLMULQDQ multiply the two 128-bit lanes of a 256-bit register
// at once. The 64-bit build has a second loop for them: four such registers hold
// the same eight accumulators and fold with the same constants, twice the data per
// instruction; the 32-bit programs, built for size, keep the 128-bit loop.
//
// The code is compiled for the instructions it needs with target attributes, so
// the rest of the program stays runnable on processors without them; the 256-bit
// loop also needs the system to save the upper halves of the registers (XGETBV).
#include "zip/Crc32.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define SETUP_CRC32_CLMUL 1
#ifdef __x86_64__
#define SETUP_CRC32_CLMUL_WIDE 1
#endif
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

// The constants of the 64-byte fold (k1, k2) and of the 16-byte fold (k3, k4).
SETUP_CLMUL_TARGET inline __m128i K1K2() {
    return _mm_set_epi64x(0x01c6e41596LL, 0x0154442bd4LL);
}
SETUP_CLMUL_TARGET inline __m128i K3K4() {
    return _mm_set_epi64x(0x00ccaa009eLL, 0x01751997d0LL);
}

// Four accumulators folded over the rest (a multiple of 16 bytes), into one, then
// reduced to the CRC register.
SETUP_CLMUL_TARGET inline std::uint32_t FinishFour(__m128i x1, __m128i x2, __m128i x3, __m128i x4,
                                                   const std::uint8_t* p, std::size_t n) {
    const __m128i k1k2 = K1K2();
    const __m128i k3k4 = K3K4();
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124LL);
    const __m128i poly = _mm_set_epi64x(0x01f7011641LL, 0x01db710641LL);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
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

#ifdef __x86_64__
// The 128-byte fold: k = x^(8*128+32) and x^(8*128-32) mod P.
constexpr long long kFold128Low = 0x01e88ef372LL;
constexpr long long kFold128High = 0x014a7fe880LL;
#endif

SETUP_CLMUL_TARGET std::uint32_t FoldBlocks(std::uint32_t crc, const std::uint8_t* p,
                                            std::size_t n) {
    // n is at least 64 and a multiple of 16.
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(p + 16);
    __m128i x3 = Load(p + 32);
    __m128i x4 = Load(p + 48);
    p += 64;
    n -= 64;
#ifdef __x86_64__
    // With sixteen vector registers, eight accumulators keep more multiplications
    // in flight: 128 bytes per step, then folded to four. The 32-bit build has
    // eight registers and keeps four.
    if (n >= 64) {
        const __m128i k8 = _mm_set_epi64x(kFold128High, kFold128Low);
        const __m128i k1k2 = K1K2();
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
    return FinishFour(x1, x2, x3, x4, p, n);
}

#ifdef SETUP_CRC32_CLMUL_WIDE
#define SETUP_CLMUL_WIDE_TARGET __attribute__((target("pclmul,sse4.1,avx2,vpclmulqdq")))

SETUP_CLMUL_WIDE_TARGET inline __m256i LoadWide(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

SETUP_CLMUL_WIDE_TARGET inline __m256i FoldWide(__m256i acc, __m256i k, __m256i next) {
    const __m256i low = _mm256_clmulepi64_epi128(acc, k, 0x00);
    const __m256i high = _mm256_clmulepi64_epi128(acc, k, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(low, high), next);
}

SETUP_CLMUL_WIDE_TARGET std::uint32_t FoldBlocksWide(std::uint32_t crc, const std::uint8_t* p,
                                                     std::size_t n) {
    // n is at least 128 and a multiple of 16. The low and high lanes of y1 to y4
    // are FoldBlocks's x1 to x8 in turn: each covers the same 16 bytes of every 128.
    const __m256i k8 = _mm256_set_epi64x(kFold128High, kFold128Low, kFold128High, kFold128Low);
    __m256i y1 = _mm256_xor_si256(LoadWide(p),
                                  _mm256_setr_epi32(static_cast<int>(crc), 0, 0, 0, 0, 0, 0, 0));
    __m256i y2 = LoadWide(p + 32);
    __m256i y3 = LoadWide(p + 64);
    __m256i y4 = LoadWide(p + 96);
    p += 128;
    n -= 128;
    while (n >= 128) {
        y1 = FoldWide(y1, k8, LoadWide(p));
        y2 = FoldWide(y2, k8, LoadWide(p + 32));
        y3 = FoldWide(y3, k8, LoadWide(p + 64));
        y4 = FoldWide(y4, k8, LoadWide(p + 96));
        p += 128;
        n -= 128;
    }
    // Eight accumulators 16 bytes apart, folded to four as in FoldBlocks.
    const __m128i k1k2 = K1K2();
    const __m128i x1 = Fold(_mm256_castsi256_si128(y1), k1k2, _mm256_castsi256_si128(y3));
    const __m128i x2 = Fold(_mm256_extracti128_si256(y1, 1), k1k2, _mm256_extracti128_si256(y3, 1));
    const __m128i x3 = Fold(_mm256_castsi256_si128(y2), k1k2, _mm256_castsi256_si128(y4));
    const __m128i x4 = Fold(_mm256_extracti128_si256(y2, 1), k1k2, _mm256_extracti128_si256(y4, 1));
    return FinishFour(x1, x2, x3, x4, p, n);
}

bool DetectClmulWide() {
    // Leaf 1, ECX: bit 27 says XGETBV works, bit 28 is AVX; XCR0 bits 1 and 2 say the
    // system saves the 128-bit and 256-bit registers. Leaf 7, EBX bit 5 is AVX2 and
    // ECX bit 10 VPCLMULQDQ.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0 || (ecx & bit_OSXSAVE) == 0 ||
        (ecx & bit_AVX) == 0) {
        return false;
    }
    unsigned xcr0 = 0, xcr0High = 0;
    __asm__("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
    if ((xcr0 & 6) != 6) {
        return false;
    }
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    return (ebx & bit_AVX2) != 0 && (ecx & bit_VPCLMULQDQ) != 0;
}
#endif

bool DetectClmul() {
    // Leaf 1, ECX: bit 1 is PCLMULQDQ, bit 19 is SSE4.1. Asking cpuid directly
    // keeps the compiler's CPU-model tables out of the program.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    return (ecx & bit_PCLMUL) != 0 && (ecx & bit_SSE4_1) != 0;
}

// The whole 16-byte blocks of `data` through `fold`, the rest by slicing.
template <std::uint32_t (*kFold)(std::uint32_t, const std::uint8_t*, std::size_t)>
std::uint32_t FoldThenSlice(std::uint32_t crc, std::span<const std::uint8_t> data) {
    const std::size_t folded = data.size() & ~std::size_t{15};
    crc = kFold(crc, data.data(), folded);
    return UpdateCrc32Slicing(crc, data.subspan(folded));
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
    return FoldThenSlice<FoldBlocks>(crc, data);
}

#else

bool Crc32ClmulAvailable() {
    return false;
}

std::uint32_t UpdateCrc32Clmul(std::uint32_t crc, std::span<const std::uint8_t> data) {
    return UpdateCrc32Slicing(crc, data);
}

#endif

#ifdef SETUP_CRC32_CLMUL_WIDE

bool Crc32ClmulWideAvailable() {
    static const bool available = Crc32ClmulAvailable() && DetectClmulWide();
    return available;
}

std::uint32_t UpdateCrc32ClmulWide(std::uint32_t crc, std::span<const std::uint8_t> data) {
    if (data.size() < 128 || !Crc32ClmulWideAvailable()) {
        return UpdateCrc32Clmul(crc, data);
    }
    return FoldThenSlice<FoldBlocksWide>(crc, data);
}

#else

bool Crc32ClmulWideAvailable() {
    return false;
}

std::uint32_t UpdateCrc32ClmulWide(std::uint32_t crc, std::span<const std::uint8_t> data) {
    return UpdateCrc32Clmul(crc, data);
}

#endif

}  // namespace setup::zip
