#include "Deflate.h"

#include <stdexcept>

#ifdef SETUP_HAVE_LIBDEFLATE
#include <libdeflate.h>
#else
#include <zlib.h>
#endif

namespace setup::medium {

#ifdef SETUP_HAVE_LIBDEFLATE

struct Deflater::State {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(12);
    ~State() { libdeflate_free_compressor(compressor); }
};

Deflater::Deflater() : state_(std::make_unique<State>()) {
    if (state_->compressor == nullptr) {
        throw std::bad_alloc();
    }
}

std::string Deflater::Compress(std::string_view data) {
    if (data.empty()) {
        return {};
    }
    // Only a result smaller than the data is of use: the buffer says so.
    std::string out(data.size() - 1, '\0');
    const std::size_t written = libdeflate_deflate_compress(state_->compressor, data.data(),
                                                            data.size(), out.data(), out.size());
    out.resize(written);
    return out;
}

std::string_view Deflater::Name() {
    return "libdeflate 12";
}

#else

struct Deflater::State {};

Deflater::Deflater() : state_(std::make_unique<State>()) {}

std::string Deflater::Compress(std::string_view data) {
    if (data.empty()) {
        return {};
    }
    z_stream stream{};
    // Raw deflate (negative window bits): the ZIP entry has no zlib header.
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::bad_alloc();
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const std::size_t written = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END || written >= data.size()) {
        return {};
    }
    out.resize(written);
    return out;
}

std::string_view Deflater::Name() {
    return "zlib 9";
}

#endif

Deflater::~Deflater() = default;

}  // namespace setup::medium
