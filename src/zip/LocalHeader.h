// The local header and the data descriptor of an entry.
//
// The local header (30 bytes and the entry's name and extra field) precedes the
// data; its flags, method, time, CRC and sizes are the ones used here. With flag bit
// 3 (written by tools that stream to a pipe) the sizes and the CRC follow the data
// in a data descriptor: CRC, compressed size and size, 4 bytes each, after the
// optional signature 50 4B 07 08.
//  - An extraction run knows the entry's central directory header, which always
//    holds the three values: they are taken from there, for every method, and the
//    descriptor must agree with them (a different CRC is -1, different sizes -4).
//  - A single-entry call has nothing but the local header: the sizes are unknown
//    (0x7FFFFFFF) and the CRC is read after decoding, from the bit reader, at the
//    next byte boundary; when its four bytes are the signature and differ from the
//    computed CRC, the CRC is the four bytes after them. Only a method with an end
//    marker (deflate) can find the end of such data.
// The local header's ZIP64 field (extra field 0x0001; Info-ZIP zip writes it for data
// read from standard input) changes two things: sizes of 0xFFFFFFFF in the header
// stand for the field's 8-byte sizes (size first, then compressed size), and a data
// descriptor's sizes are 8 bytes each. The extra field is read only for such sizes
// and for entries with a descriptor; a size of 0x7FFFFFFF or more is refused (-4).
#pragma once

#include <cstdint>

#include "platform/Os.h"
#include "zip/ExtractState.h"

namespace setup::zip {

inline constexpr std::uint32_t kLocalSignature = 0x04034B50;

// An entry's values as its central directory header gives them. An entry whose
// local header leaves them to a data descriptor (flag bit 3) is read with these;
// the descriptor must agree with them.
struct ZipCentralValues {
    std::int32_t CompressedSize = 0;
    std::int32_t Size = 0;
    std::uint32_t Crc = 0;
};

struct LocalHeader {
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t Time = 0;
    std::uint32_t Crc = 0;
    std::int32_t CompressedSize = 0;
    std::int32_t Size = 0;
    std::uint64_t DataOffset = 0;
    bool HasDescriptor = false;  // flag bit 3
    bool SizesKnown = true;      // false: a descriptor whose values are not known yet
    bool Zip64 = false;          // a ZIP64 field: the descriptor's sizes are 8 bytes each
};

// Reads and checks the local header at `offset`; leaves the archive at the entry's
// data. `central`: the entry's values from the central directory, if known. 0, -3,
// -4, -6 or -7.
std::int32_t ReadLocalHeader(platform::File& archive, std::uint32_t offset,
                             const ZipCentralValues* central, LocalHeader& header);

// Checks the data descriptor behind an entry whose values are known: 0, -1 for a
// different CRC, -4 for different sizes, -3 when it can't be read.
std::int32_t CheckDescriptor(platform::File& archive, const LocalHeader& header);

// The CRC of a descriptor whose values were not known, read from the bit reader
// after the decoded data (`computedCrc` tells the signature from a CRC).
std::uint32_t ReadDescriptorCrc(ExtractState& state, std::uint32_t computedCrc);

}  // namespace setup::zip
