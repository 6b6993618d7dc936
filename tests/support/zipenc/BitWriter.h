// Packs bit fields the way both old ZIP methods read them: the first field goes
// into the lowest bits of the first byte, and a field's own bits run from its
// least significant bit upwards. Prefix codes, which are read one bit at a time
// from their first bit, are written with PutCodeMsbFirst. The last byte is padded
// with zero bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace setup::zipenc {

class BitWriter {
  public:
    // Appends the low `count` bits of `value` (count 0 to 32).
    void Put(std::uint32_t value, int count);
    // Appends a `length`-bit code starting with its most significant bit.
    void PutCodeMsbFirst(std::uint32_t code, int length);
    // Appends whole bytes; only allowed on a byte boundary.
    void PutAlignedByte(std::uint8_t byte);

    std::size_t BitCount() const {
        return bytes_.size() * 8 - (pending_ ? static_cast<std::size_t>(8 - pending_) : 0);
    }
    // The bytes written so far, the last one padded with zero bits.
    std::vector<std::uint8_t> Finish() &&;

  private:
    std::vector<std::uint8_t> bytes_;
    int pending_ = 0;  // bits used in the last byte of bytes_, 0 when it is full
};

}  // namespace setup::zipenc
