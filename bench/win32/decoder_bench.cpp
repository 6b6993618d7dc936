// decoder_bench.exe: the extractor's decoders and CRC-32 as Setup.exe carries them
// (32-bit, the product's compiler flags), side by side with zlib built for the same
// target, on the same data in one run under Wine.
//
// Ours runs as extraction runs it (an ExtractState over MemoryFiles: 4 KB input
// blocks, the 32 KB window, a write per flush, the CRC-32 of every block); zlib
// inflates the whole entry in one call into a buffer and then runs its crc32, its
// fastest use. Each measurement is the best of several rounds of CPU time
// (GetProcessTimes), in MB/s of uncompressed output (10^6 bytes per second).
//
// Usage (from the repository root, so that the corpus folders are found):
//   wine build/win32/bench/win32/decoder_bench.exe [MB per data set, default 8] [inflate]
// Inflate and zlib's inflate are measured in alternating rounds.
#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "BenchDecode.h"
#include "support/zipenc/ImplodeEncoder.h"
#include "support/zipenc/ShrinkEncoder.h"
#include "zip/Crc32.h"
#include "zip/Decoders.h"
#include "zip/MemoryFile.h"

namespace {

using namespace setup;
using Bytes = std::vector<std::uint8_t>;

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<std::uint64_t>(t.dwHighDateTime) << 32 |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

// CPU seconds per call of `work` over one round of at least `minimum` seconds; 0
// when it failed. The process clock under Wine ticks in steps of 10 ms or more.
double Round(const std::function<bool()>& work, double minimum = 0.3) {
    int calls = 0;
    const double start = CpuSeconds();
    double used = 0;
    do {
        if (!work()) {
            return 0;
        }
        ++calls;
        used = CpuSeconds() - start;
    } while (used < minimum);
    return used / calls;
}

// MB/s of `bytes` per call of `work`, the best of the rounds; 0 when it failed.
double Measure(std::size_t bytes, const std::function<bool()>& work) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const double seconds = Round(work);
        if (seconds == 0) {
            return 0;
        }
        best = std::min(best, seconds);
    }
    return static_cast<double>(bytes) / best / 1e6;
}

struct PairOfRates {
    double first = 0;
    double second = 0;
};

// Both measured in alternating rounds, so that a change of the machine's load
// between them moves both: MB/s, the best of the rounds of each.
PairOfRates MeasureAlternating(std::size_t bytes, const std::function<bool()>& first,
                               const std::function<bool()>& second) {
    double bestFirst = 1e30;
    double bestSecond = 1e30;
    for (int round = 0; round < 5; ++round) {
        const double a = Round(first, 1.0);
        const double b = Round(second, 1.0);
        if (a == 0 || b == 0) {
            return {};
        }
        bestFirst = std::min(bestFirst, a);
        bestSecond = std::min(bestSecond, b);
    }
    const auto rate = [&](double seconds) { return static_cast<double>(bytes) / seconds / 1e6; };
    return {rate(bestFirst), rate(bestSecond)};
}

std::uint32_t ZlibCrc(const Bytes& data) {
    return static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

bool DecodeOurs(const Bytes& packed, const Bytes& plain, std::uint32_t crc,
                std::int32_t (*decoder)(zip::ExtractState&), std::uint16_t flags) {
    static zip::MemoryFile target({});
    target.Written.reserve(plain.size());
    return bench::DecodeOurs(&target, packed, plain, crc, decoder, flags);
}

bool InflateZlib(const Bytes& packed, const Bytes& plain, std::uint32_t crc, Bytes& out) {
    z_stream stream{};
    inflateInit2(&stream, -15);
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const auto got = static_cast<std::uint32_t>(crc32(0, out.data(), stream.total_out));
    inflateEnd(&stream);
    return result == Z_STREAM_END && got == crc && stream.total_out == plain.size();
}

void Row(const char* what, double ours, double zlib) {
    if (zlib > 0) {
        std::printf("| %-22s | %8.1f | %8.1f | %5.2f |\n", what, ours, zlib, ours / zlib);
    } else {
        std::printf("| %-22s | %8.1f |        - |     - |\n", what, ours);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 8;
    const std::size_t size = megabytes << 20;
    // "inflate" as the second argument: the inflate rows only.
    const bool inflateOnly = argc > 2 && std::string(argv[2]) == "inflate";
    std::printf("decoder_bench: %zu MiB per data set, CLMUL CRC %s\n\n", megabytes,
                zip::Crc32ClmulAvailable() ? "in use" : "not available");
    std::printf("| %-22s | %8s | %8s | %5s |\n|---|---:|---:|---:|\n", "operation/data", "ours",
                "zlib", "ratio");

    for (const char* name : {"text", "binary"}) {
        const Bytes plain =
            std::string(name) == "text" ? bench::TextCorpus(size) : bench::BinaryCorpus(size);
        const std::uint32_t crc = ZlibCrc(plain);
        const Bytes deflated = bench::DeflateRaw(plain, 6);
        Bytes out(plain.size());
        const PairOfRates inflate = MeasureAlternating(
            plain.size(), [&] { return DecodeOurs(deflated, plain, crc, zip::InflateEntry, 0); },
            [&] { return InflateZlib(deflated, plain, crc, out); });
        Row(("inflate/" + std::string(name)).c_str(), inflate.first, inflate.second);
        if (inflateOnly) {
            continue;
        }

        const double stored = Measure(
            plain.size(), [&] { return DecodeOurs(plain, plain, crc, zip::CopyStoredEntry, 0); });
        const double copy = Measure(plain.size(), [&] {
            std::memcpy(out.data(), plain.data(), plain.size());
            return ZlibCrc(out) == crc;
        });
        Row(("stored/" + std::string(name)).c_str(), stored, copy);

        const double ourCrc =
            Measure(plain.size(), [&] { return ~zip::UpdateCrc32(0xFFFFFFFF, plain) == crc; });
        const double zlibCrc = Measure(plain.size(), [&] { return ZlibCrc(plain) == crc; });
        Row(("crc32/" + std::string(name)).c_str(), ourCrc, zlibCrc);

        // The old methods: no zlib counterpart; their test encoders are slow.
        const Bytes half(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(size / 2));
        const std::uint32_t halfCrc = ZlibCrc(half);
        const Bytes shrunk = zipenc::Shrink(half);
        Row(("unshrink/" + std::string(name)).c_str(),
            Measure(half.size(),
                    [&] { return DecodeOurs(shrunk, half, halfCrc, zip::UnshrinkEntry, 0); }),
            0);
        zipenc::ImplodeOptions options;
        options.largeDictionary = true;
        options.literalTree = true;
        const Bytes imploded = zipenc::Implode(half, options);
        const std::uint16_t flags = zipenc::ImplodeFlags(options);
        Row(("explode/" + std::string(name)).c_str(),
            Measure(half.size(),
                    [&] { return DecodeOurs(imploded, half, halfCrc, zip::ExplodeEntry, flags); }),
            0);
    }
    return 0;
}
