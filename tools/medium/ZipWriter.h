// Writing ZIP archives the installer's extractor reads on its simplest path:
// every entry's time (DOS date and time), CRC and sizes in its local header, no
// data descriptor, no extra field; deflated when that is smaller, else stored.
// A name outside ASCII is written in UTF-8 with flag bit 11, which both the
// extractor and Info-ZIP read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "Deflate.h"

namespace setup::medium {

// The DOS date and time (date in the high half) of a file's last write, in local
// time as Windows tools write it, odd seconds rounded up.
std::uint32_t DosDateTime(std::filesystem::file_time_type time);

struct PackedSizes {
    std::uint64_t before = 0;
    std::uint64_t after = 0;  // the entry's data as stored in the archive
};

class ZipWriter {
  public:
    ZipWriter(std::ostream& out, Deflater& deflater) : out_(out), deflater_(deflater) {}

    // Appends one entry; `name` is Windows-1252, folders separated by "\" or "/".
    PackedSizes Add(std::string_view name, std::uint32_t dosDateTime, std::string_view data);

    // Writes the central directory; false when the stream failed anywhere.
    bool Finish();

  private:
    std::ostream& out_;
    Deflater& deflater_;
    std::string central_;
    std::uint64_t offset_ = 0;
    std::uint32_t count_ = 0;
};

// The bytes of an archive holding `data` alone as the entry `name`.
std::string SingleEntryZip(std::string_view name, std::uint32_t dosDateTime, std::string_view data,
                           Deflater& deflater);

}  // namespace setup::medium
