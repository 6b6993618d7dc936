#include "zip/MemoryFile.h"

#include <algorithm>
#include <cstring>

namespace setup::zip {

std::int64_t MemoryFile::Read(std::span<std::uint8_t> buffer) {
    const std::size_t count = std::min(buffer.size(), data_.size() - position_);
    if (count > 0) {
        std::memcpy(buffer.data(), data_.data() + position_, count);
    }
    position_ += count;
    return static_cast<std::int64_t>(count);
}

std::int64_t MemoryFile::Write(std::span<const std::uint8_t> bytes) {
    ++WriteCalls;
    if (Written.size() + bytes.size() > writeLimit_) {
        return -1;
    }
    Written.insert(Written.end(), bytes.begin(), bytes.end());
    return static_cast<std::int64_t>(bytes.size());
}

bool MemoryFile::Seek(std::uint64_t position) {
    if (position > data_.size()) {
        return false;
    }
    position_ = static_cast<std::size_t>(position);
    return true;
}

}  // namespace setup::zip
