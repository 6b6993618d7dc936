// Deflate at the best ratio a library made for it gives: libdeflate at its
// highest level where the tool is built with it, zlib at level 9 otherwise (the
// Windows build). Only the vendor's tool packs; the installer only inflates.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace setup::medium {

class Deflater {
  public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // The raw deflate stream of `data`; empty when it would not be smaller than
    // `data` (the entry is then stored).
    std::string Compress(std::string_view data);

    // "libdeflate 12" or "zlib 9", for the summary.
    static std::string_view Name();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace setup::medium
