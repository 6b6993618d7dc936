#include "BenchCorpus.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace setup::bench {
namespace {

namespace fs = std::filesystem;

// Appends whole files (the last one cut) until `out` holds `size` bytes.
void AppendFiles(const std::vector<fs::path>& files, std::size_t size,
                 std::vector<std::uint8_t>& out) {
    for (const fs::path& path : files) {
        if (out.size() >= size) {
            break;
        }
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        const std::size_t take = std::min(bytes.size(), size - out.size());
        out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
    }
}

void RequireSize(const std::vector<std::uint8_t>& data, std::size_t size, const char* what) {
    if (data.size() < size) {
        std::fprintf(stderr, "zip_bench: only %zu bytes of %s found, %zu needed\n", data.size(),
                     what, size);
        std::exit(2);
    }
}

bool IsElf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.read(magic, sizeof magic);
    return in.gcount() == 4 && magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' &&
           magic[3] == 'F';
}

}  // namespace

std::vector<std::uint8_t> TextCorpus(std::size_t size) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator("/usr/include", error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        if (it->is_regular_file(error) && !it->is_symlink(error) &&
            (path.extension() == ".h" || path.extension() == ".hpp")) {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<std::uint8_t> data;
    AppendFiles(files, size, data);
    RequireSize(data, size, "headers under /usr/include");
    return data;
}

std::vector<std::uint8_t> BinaryCorpus(std::size_t size) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::directory_iterator("/usr/bin", error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error) && IsElf(it->path())) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<std::uint8_t> data;
    AppendFiles(files, size, data);
    RequireSize(data, size, "ELF programs in /usr/bin");
    return data;
}

std::vector<std::uint8_t> RandomCorpus(std::size_t size) {
    std::mt19937_64 random(20240229);
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t word = random();
        for (std::size_t k = 0; k < 8 && i + k < size; ++k) {
            data[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
        }
    }
    return data;
}

std::vector<std::uint8_t> DeflateRaw(const std::vector<std::uint8_t>& data, int level) {
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::fputs("zip_bench: deflateInit2 failed\n", stderr);
        std::exit(2);
    }
    std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        std::fputs("zip_bench: deflate failed\n", stderr);
        std::exit(2);
    }
    return out;
}

}  // namespace setup::bench
