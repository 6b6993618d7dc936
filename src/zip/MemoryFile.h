// A platform::File over bytes in memory, for driving the archive reader and the
// decoders without a file system (tests, fuzzing). Reads come from the given bytes;
// writes append to `Written`, up to a limit beyond which they fail.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "platform/Os.h"

namespace setup::zip {

class MemoryFile final : public platform::File {
  public:
    explicit MemoryFile(std::span<const std::uint8_t> data,
                        std::size_t writeLimit = std::numeric_limits<std::size_t>::max())
        : data_(data), writeLimit_(writeLimit) {}

    std::int64_t Read(std::span<std::uint8_t> buffer) override;
    std::int64_t Write(std::span<const std::uint8_t> bytes) override;
    bool Seek(std::uint64_t position) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    bool Close() override { return true; }
    bool SetLastWriteDos(std::uint32_t dosDateTime) override {
        LastWriteDos = dosDateTime;
        return true;
    }

    std::vector<std::uint8_t> Written;
    std::uint32_t LastWriteDos = 0;
    std::size_t WriteCalls = 0;

  private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    std::size_t writeLimit_;
};

}  // namespace setup::zip
