// Inflate against streams zlib writes, byte for byte. The fast loop's refill and
// look-up rules only show on real streams: literal codes longer than the root
// table (skewed bytes, Huffman-only coding), long distances with many extra bits,
// byte runs and short periods, fixed and stored blocks, all crossing the 4 KB
// input blocks and the 32 KB window many times. The same file runs in the
// program built with the 32-bit bit reader of the Windows build.
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/DecoderHarness.h"

namespace setup::zip {
namespace {

using testing::DecodeFromMemory;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kSize = 400'000;

// Words of a small vocabulary: text with long matches and short literal codes.
Bytes Prose(std::mt19937& random) {
    static const char* const kWords[] = {"Setup ", "kopiert ", "die ",      "Dateien ",
                                         "in ",    "den ",     "Ordner ",   "Programm\r\n",
                                         "Größe ", "übrig ",   "Diskette ", "Fehler. "};
    Bytes data;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kWords) - 1);
    while (data.size() < kSize) {
        for (const char* c = kWords[pick(random)]; *c != 0; ++c) {
            data.push_back(static_cast<std::uint8_t>(*c));
        }
    }
    data.resize(kSize);
    return data;
}

// Bytes of a geometric distribution: the rare ones get codes of up to 15 bits.
Bytes Skewed(std::mt19937& random) {
    Bytes data(kSize);
    std::geometric_distribution<int> rank(0.08);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(rank(random) % 256 * 97);
    }
    return data;
}

// Random bytes with copies of earlier pieces from up to 32 KB back, runs of one
// byte and short periods: the match paths and every distance code.
Bytes Patchwork(std::mt19937& random) {
    Bytes data;
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(3, 300);
    std::uniform_int_distribution<std::size_t> distance(1, 32768);
    std::uniform_int_distribution<std::size_t> period(1, 15);
    while (data.size() < kSize) {
        const int k = kind(random);
        const std::size_t n = length(random);
        if (k < 3 || data.size() < 32768) {
            for (std::size_t i = 0; i < n; ++i) {
                data.push_back(static_cast<std::uint8_t>(byte(random)));
            }
            continue;
        }
        const std::size_t back = k < 7 ? distance(random) : period(random);
        for (std::size_t i = 0; i < n; ++i) {
            data.push_back(data[data.size() - back]);
        }
    }
    data.resize(kSize);
    return data;
}

Bytes DeflateRaw(const Bytes& data, int level, int strategy) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, -15, 9, strategy), Z_OK);
    Bytes packed(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

TEST(InflateZlib, EveryKindOfStreamDecodesByteForByte) {
    struct Coding {
        const char* name;
        int level;
        int strategy;
    };
    const Coding codings[] = {
        {"stored", 0, Z_DEFAULT_STRATEGY},   {"fastest", 1, Z_DEFAULT_STRATEGY},
        {"default", 6, Z_DEFAULT_STRATEGY},  {"best", 9, Z_DEFAULT_STRATEGY},
        {"Huffman only", 6, Z_HUFFMAN_ONLY}, {"runs only", 6, Z_RLE},
        {"fixed codes", 6, Z_FIXED},
    };
    struct Data {
        const char* name;
        Bytes (*make)(std::mt19937&);
    };
    const Data sets[] = {{"prose", Prose}, {"skewed", Skewed}, {"patchwork", Patchwork}};
    for (const Data& set : sets) {
        std::mt19937 random(20261208);
        const Bytes plain = set.make(random);
        const auto crc =
            static_cast<std::uint32_t>(crc32(0, plain.data(), static_cast<uInt>(plain.size())));
        for (const Coding& coding : codings) {
            SCOPED_TRACE(std::string(set.name) + ", " + coding.name);
            const Bytes packed = DeflateRaw(plain, coding.level, coding.strategy);
            const auto result =
                DecodeFromMemory(InflateEntry, packed, static_cast<std::int32_t>(plain.size()));
            ASSERT_EQ(result.code, 0);
            ASSERT_EQ(result.output.size(), plain.size());
            EXPECT_TRUE(result.output == plain);
            EXPECT_EQ(result.crc, crc);
        }
    }
}

}  // namespace
}  // namespace setup::zip
