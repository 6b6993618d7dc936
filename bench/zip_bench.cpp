// zip_bench: the extractor's decoders and CRC-32, side by side with zlib and
// libdeflate on the same data in one run.
//
// Every decoder of ours runs as extraction runs it: InflateEntry (or the other
// methods) over an ExtractState whose archive and target are MemoryFiles, so the
// time includes the 4 KB input blocks, the 32 KB window, the flushes to the target
// and the CRC-32 of the output. zlib and libdeflate decompress the whole entry in
// one call into a buffer (their fastest use) and then compute the CRC with their
// own crc32, so all three deliver the same thing: the bytes and their checksum.
// The row ours-unwritten decodes with no target (the output checked by its CRC
// only), to show how much of ours is the copy into the target.
// Throughput is the uncompressed size per second of CPU time.
//
// Benchmarks are named OPERATION/DATA/IMPLEMENTATION. After the run a table gives
// each implementation's MB/s (10^6 bytes; the median when --benchmark_repetitions
// is given) and its ratio to zlib on the same data.
//
// Extra flag (besides Google Benchmark's own): --corpus_mb=N sets the size of each
// data set (default 8; the old methods get half of it, their encoders are slow).
// The console report and the table go to stdout; for JSON add
// --benchmark_out=FILE --benchmark_out_format=json.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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

struct DataSet {
    std::string name;
    Bytes plain;
    std::uint32_t crc = 0;
    Bytes deflated;  // zlib level 6, as Info-ZIP zip writes by default
};

// Many small entries, each deflated on its own: what per-entry costs (state, tables,
// window) weigh against the decoding itself.
struct SmallSet {
    std::vector<Bytes> plain;
    std::vector<Bytes> deflated;
    std::vector<std::uint32_t> crc;
    std::size_t total = 0;
};

struct OldMethodSet {
    std::string name;
    Bytes plain;
    std::uint32_t crc = 0;
    Bytes shrunk;
    Bytes imploded;  // 8 KB dictionary with literal tree
    std::uint16_t implodeFlags = 0;
};

std::uint32_t ZlibCrc(const Bytes& data) {
    return static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

void Check(benchmark::State& state, bool good, const char* what) {
    if (!good) {
        state.SkipWithError(what);
    }
}

// Reports the throughput: `perIteration` bytes made per iteration.
void CountBytes(benchmark::State& state, std::size_t perIteration) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(perIteration));
}

void OursLoop(benchmark::State& state, const Bytes& packed, const Bytes& plain, std::uint32_t crc,
              std::int32_t (*decoder)(zip::ExtractState&), std::uint16_t flags = 0,
              bool written = true) {
    zip::MemoryFile target({});
    target.Written.reserve(plain.size());
    for (auto _ : state) {
        if (!bench::DecodeOurs(written ? &target : nullptr, packed, plain, crc, decoder, flags)) {
            state.SkipWithError("wrong result");
            break;
        }
    }
    CountBytes(state, plain.size());
}

void InflateZlib(benchmark::State& state, const DataSet& set) {
    Bytes out(set.plain.size());
    z_stream stream{};
    inflateInit2(&stream, -15);
    for (auto _ : state) {
        inflateReset(&stream);
        stream.next_in = const_cast<Bytef*>(set.deflated.data());
        stream.avail_in = static_cast<uInt>(set.deflated.size());
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&stream, Z_FINISH);
        const auto crc =
            static_cast<std::uint32_t>(crc32(0, out.data(), static_cast<uInt>(stream.total_out)));
        if (result != Z_STREAM_END || crc != set.crc) {
            Check(state, false, "wrong result");
            break;
        }
    }
    inflateEnd(&stream);
    CountBytes(state, set.plain.size());
}

void InflateLibdeflate(benchmark::State& state, const DataSet& set) {
    Bytes out(set.plain.size());
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        std::size_t produced = 0;
        const libdeflate_result result =
            libdeflate_deflate_decompress(decompressor, set.deflated.data(), set.deflated.size(),
                                          out.data(), out.size(), &produced);
        const std::uint32_t crc = libdeflate_crc32(0, out.data(), produced);
        if (result != LIBDEFLATE_SUCCESS || crc != set.crc) {
            Check(state, false, "wrong result");
            break;
        }
    }
    libdeflate_free_decompressor(decompressor);
    CountBytes(state, set.plain.size());
}

void SmallZlib(benchmark::State& state, const SmallSet& set) {
    Bytes out;
    z_stream stream{};
    inflateInit2(&stream, -15);
    for (auto _ : state) {
        for (std::size_t i = 0; i < set.plain.size(); ++i) {
            out.resize(set.plain[i].size());
            inflateReset(&stream);
            stream.next_in = const_cast<Bytef*>(set.deflated[i].data());
            stream.avail_in = static_cast<uInt>(set.deflated[i].size());
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            const int result = inflate(&stream, Z_FINISH);
            const auto crc = static_cast<std::uint32_t>(
                crc32(0, out.data(), static_cast<uInt>(stream.total_out)));
            if (result != Z_STREAM_END || crc != set.crc[i]) {
                Check(state, false, "wrong result");
                break;
            }
        }
    }
    inflateEnd(&stream);
    CountBytes(state, set.total);
}

void SmallLibdeflate(benchmark::State& state, const SmallSet& set) {
    Bytes out;
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        for (std::size_t i = 0; i < set.plain.size(); ++i) {
            out.resize(set.plain[i].size());
            std::size_t produced = 0;
            const libdeflate_result result = libdeflate_deflate_decompress(
                decompressor, set.deflated[i].data(), set.deflated[i].size(), out.data(),
                out.size(), &produced);
            if (result != LIBDEFLATE_SUCCESS ||
                libdeflate_crc32(0, out.data(), produced) != set.crc[i]) {
                Check(state, false, "wrong result");
                break;
            }
        }
    }
    libdeflate_free_decompressor(decompressor);
    CountBytes(state, set.total);
}

// Each entry through its own ExtractState, as extraction makes one per entry.
void SmallOurs(benchmark::State& state, const SmallSet& set) {
    zip::MemoryFile target({});
    for (auto _ : state) {
        for (std::size_t i = 0; i < set.plain.size(); ++i) {
            if (!bench::DecodeOurs(&target, set.deflated[i], set.plain[i], set.crc[i],
                                   zip::InflateEntry, 0)) {
                Check(state, false, "wrong result");
                break;
            }
        }
    }
    CountBytes(state, set.total);
}

// The same bytes copied and checksummed as plainly as possible: the mark for stored entries.
void StoredBaseline(benchmark::State& state, const DataSet& set) {
    Bytes out(set.plain.size());
    for (auto _ : state) {
        std::memcpy(out.data(), set.plain.data(), out.size());
        const auto crc =
            static_cast<std::uint32_t>(crc32(0, out.data(), static_cast<uInt>(out.size())));
        if (crc != set.crc) {
            Check(state, false, "wrong result");
            break;
        }
        benchmark::ClobberMemory();
    }
    CountBytes(state, set.plain.size());
}

using CrcFunction = std::uint32_t (*)(std::uint32_t, std::span<const std::uint8_t>);

void CrcOurs(benchmark::State& state, const DataSet& set, CrcFunction function) {
    for (auto _ : state) {
        const std::uint32_t crc = ~function(0xFFFFFFFF, set.plain);
        benchmark::DoNotOptimize(crc);
        if (crc != set.crc) {
            Check(state, false, "wrong result");
            break;
        }
    }
    CountBytes(state, set.plain.size());
}

void CrcZlib(benchmark::State& state, const DataSet& set) {
    for (auto _ : state) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, set.plain.data(), static_cast<uInt>(set.plain.size())));
        benchmark::DoNotOptimize(crc);
    }
    CountBytes(state, set.plain.size());
}

void CrcLibdeflate(benchmark::State& state, const DataSet& set) {
    for (auto _ : state) {
        const std::uint32_t crc = libdeflate_crc32(0, set.plain.data(), set.plain.size());
        benchmark::DoNotOptimize(crc);
    }
    CountBytes(state, set.plain.size());
}

// Keeps each benchmark's throughput (the median aggregate where there is one) for
// the table printed after the run.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const auto counter = run.counters.find("bytes_per_second");
            if (counter == run.counters.end()) {
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) {
                continue;
            }
            Entry& entry = results_[run.run_name.function_name];
            if (median || !entry.fromMedian) {
                entry.bytesPerSecond = counter->second.value;
                entry.fromMedian = median;
            }
        }
    }

    // MB/s of `name`, 0 when it did not run.
    double MegabytesPerSecond(const std::string& name) const {
        const auto it = results_.find(name);
        return it == results_.end() ? 0.0 : it->second.bytesPerSecond / 1e6;
    }

  private:
    struct Entry {
        double bytesPerSecond = 0;
        bool fromMedian = false;
    };
    std::map<std::string, Entry> results_;
};

void PrintRatioTable(const RecordingReporter& results, const std::vector<std::string>& rows) {
    std::printf("\nThroughput in MB/s (10^6 bytes of output per CPU second), ratio to zlib\n");
    std::printf("%-44s %10s %10s %8s\n", "benchmark", "MB/s", "zlib MB/s", "ratio");
    for (const std::string& name : rows) {
        const double ours = results.MegabytesPerSecond(name);
        if (ours == 0) {
            continue;
        }
        // The reference of OPERATION/DATA/x is OPERATION/DATA/zlib.
        const std::string reference = name.substr(0, name.rfind('/')) + "/zlib";
        const double zlib = results.MegabytesPerSecond(reference);
        if (zlib > 0 && name != reference) {
            std::printf("%-44s %10.0f %10.0f %8.2f\n", name.c_str(), ours, zlib, ours / zlib);
        } else {
            std::printf("%-44s %10.0f %10s %8s\n", name.c_str(), ours, name == reference ? "" : "-",
                        "");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::size_t megabytes = 8;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--corpus_mb=")) {
            megabytes = std::strtoul(argv[i] + 12, nullptr, 10);
        } else {
            std::fprintf(stderr, "zip_bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    const std::size_t size = megabytes << 20;

    std::vector<std::unique_ptr<DataSet>> sets;
    const std::pair<const char*, Bytes (*)(std::size_t)> sources[] = {
        {"text", bench::TextCorpus},
        {"binary", bench::BinaryCorpus},
        {"random", bench::RandomCorpus}};
    for (const auto& [name, make] : sources) {
        auto set = std::make_unique<DataSet>();
        set->name = name;
        set->plain = make(size);
        set->crc = ZlibCrc(set->plain);
        set->deflated = bench::DeflateRaw(set->plain, 6);
        std::fprintf(stderr, "%-7s %zu bytes, deflated to %zu (%.1f%%)\n", name, set->plain.size(),
                     set->deflated.size(),
                     100.0 * static_cast<double>(set->deflated.size()) /
                         static_cast<double>(set->plain.size()));
        sets.push_back(std::move(set));
    }
    // 2,048 pieces of 4 KB of text, as an archive of many small files holds them.
    SmallSet small;
    constexpr std::size_t kSmallPiece = 4096;
    for (std::size_t at = 0; at + kSmallPiece <= sets[0]->plain.size() && small.plain.size() < 2048;
         at += kSmallPiece) {
        const auto from = sets[0]->plain.begin() + static_cast<std::ptrdiff_t>(at);
        small.plain.emplace_back(from, from + kSmallPiece);
        small.crc.push_back(ZlibCrc(small.plain.back()));
        small.deflated.push_back(bench::DeflateRaw(small.plain.back(), 6));
        small.total += kSmallPiece;
    }
    std::vector<std::unique_ptr<OldMethodSet>> oldSets;
    for (const auto& set : sets) {
        if (set->name == "random") {
            continue;  // nothing to learn: both old methods expand it
        }
        auto old = std::make_unique<OldMethodSet>();
        old->name = set->name;
        old->plain.assign(set->plain.begin(),
                          set->plain.begin() + static_cast<std::ptrdiff_t>(size / 2));
        old->crc = ZlibCrc(old->plain);
        old->shrunk = zipenc::Shrink(old->plain);
        zipenc::ImplodeOptions options;
        options.largeDictionary = true;
        options.literalTree = true;
        old->imploded = zipenc::Implode(old->plain, options);
        old->implodeFlags = zipenc::ImplodeFlags(options);
        std::fprintf(stderr, "%-7s %zu bytes, shrunk to %zu, imploded to %zu\n", old->name.c_str(),
                     old->plain.size(), old->shrunk.size(), old->imploded.size());
        oldSets.push_back(std::move(old));
    }

    std::vector<std::string> rows;
    auto add = [&rows](const std::string& name, auto&& function) {
        benchmark::RegisterBenchmark(name.c_str(), function)->Unit(benchmark::kMillisecond);
        rows.push_back(name);
    };
    for (const auto& owned : sets) {
        const DataSet& set = *owned;
        const std::string prefix = "inflate/" + set.name + "/";
        add(prefix + "zlib", [&set](benchmark::State& s) { InflateZlib(s, set); });
        add(prefix + "libdeflate", [&set](benchmark::State& s) { InflateLibdeflate(s, set); });
        add(prefix + "ours", [&set](benchmark::State& s) {
            OursLoop(s, set.deflated, set.plain, set.crc, zip::InflateEntry);
        });
        add(prefix + "ours-unwritten", [&set](benchmark::State& s) {
            OursLoop(s, set.deflated, set.plain, set.crc, zip::InflateEntry, 0, false);
        });
    }
    add("inflate/small/zlib", [&small](benchmark::State& s) { SmallZlib(s, small); });
    add("inflate/small/libdeflate", [&small](benchmark::State& s) { SmallLibdeflate(s, small); });
    add("inflate/small/ours", [&small](benchmark::State& s) { SmallOurs(s, small); });
    for (const auto& owned : oldSets) {
        const OldMethodSet& set = *owned;
        add("explode/" + set.name + "/ours", [&set](benchmark::State& s) {
            OursLoop(s, set.imploded, set.plain, set.crc, zip::ExplodeEntry, set.implodeFlags);
        });
        add("unshrink/" + set.name + "/ours", [&set](benchmark::State& s) {
            OursLoop(s, set.shrunk, set.plain, set.crc, zip::UnshrinkEntry);
        });
    }
    const DataSet& binary = *sets[1];
    add("stored/binary/zlib", [&binary](benchmark::State& s) { StoredBaseline(s, binary); });
    add("stored/binary/ours", [&binary](benchmark::State& s) {
        OursLoop(s, binary.plain, binary.plain, binary.crc, zip::CopyStoredEntry);
    });
    const DataSet& random = *sets[2];
    add("crc32/random/zlib", [&random](benchmark::State& s) { CrcZlib(s, random); });
    add("crc32/random/libdeflate", [&random](benchmark::State& s) { CrcLibdeflate(s, random); });
    const std::pair<const char*, CrcFunction> variants[] = {
        {"bytewise", zip::UpdateCrc32Bytewise},
        {"slicing", zip::UpdateCrc32Slicing},
        {"clmul", zip::UpdateCrc32Clmul},
        {"clmul-wide", zip::UpdateCrc32ClmulWide},
        {"ours", zip::UpdateCrc32},
    };
    for (const auto& [name, function] : variants) {
        add(std::string("crc32/random/") + name,
            [&random, function](benchmark::State& s) { CrcOurs(s, random, function); });
    }

    // Colours only on a terminal: the output is often kept in a file.
    RecordingReporter reporter(isatty(STDOUT_FILENO) != 0 ? RecordingReporter::OO_Defaults
                                                          : RecordingReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatioTable(reporter, rows);
    std::printf("clmul CRC in use: %s, on 256-bit registers: %s\n",
                zip::Crc32ClmulAvailable() ? "yes" : "no",
                zip::Crc32ClmulWideAvailable() ? "yes" : "no");
    benchmark::Shutdown();
    return 0;
}
