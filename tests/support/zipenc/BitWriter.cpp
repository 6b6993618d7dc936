#include "support/zipenc/BitWriter.h"

#include <stdexcept>

namespace setup::zipenc {

void BitWriter::Put(std::uint32_t value, int count) {
    std::uint64_t bits = count == 32 ? value : value & ((std::uint64_t{1} << count) - 1);
    while (count > 0) {
        if (pending_ == 0) {
            bytes_.push_back(0);
        }
        const int room = 8 - pending_;
        const int take = count < room ? count : room;
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (bits << pending_));
        bits >>= take;
        count -= take;
        pending_ = (pending_ + take) & 7;
    }
}

void BitWriter::PutCodeMsbFirst(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) {
        reversed = reversed << 1 | ((code >> i) & 1u);
    }
    Put(reversed, length);
}

void BitWriter::PutAlignedByte(std::uint8_t byte) {
    if (pending_ != 0) {
        throw std::logic_error("BitWriter: byte written off a byte boundary");
    }
    bytes_.push_back(byte);
}

std::vector<std::uint8_t> BitWriter::Finish() && {
    return std::move(bytes_);
}

}  // namespace setup::zipenc
