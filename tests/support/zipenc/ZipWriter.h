// A small ZIP archive writer for tests: entries go in exactly as given (already
// compressed data, flags, CRC, sizes, times, attributes), so tests can build both
// well-formed archives and deliberately odd ones.
//
// Layout: for each entry a local header, its name, its data and, with general
// purpose flag bit 3, a data descriptor; then the central directory and the end
// record with the archive comment. No ZIP64, no encryption, no disk spanning.
//
// With a data descriptor the local header carries zero CRC and sizes (as a
// streaming writer would); the real values follow the data, optionally behind
// the signature 50 4B 07 08, and are repeated in the central directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace setup::zipenc {

enum class DataDescriptor {
    None,
    WithSignature,     // 50 4B 07 08, CRC, compressed size, size
    WithoutSignature,  // CRC, compressed size, size
};

// Host systems of the "version made by" field.
inline constexpr std::uint8_t kHostMsDos = 0;
inline constexpr std::uint8_t kHostUnix = 3;
inline constexpr std::uint8_t kHostNtfs = 11;

struct ZipEntry {
    std::string name;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;         // bit 3 is added when `descriptor` asks for one
    std::vector<std::uint8_t> data;  // exactly as stored in the archive
    std::uint32_t crc = 0;
    std::optional<std::uint32_t> compressedSize;  // default: data.size()
    std::uint32_t uncompressedSize = 0;
    std::uint16_t dosTime = 0;                        // hour << 11 | minute << 5 | second / 2
    std::uint16_t dosDate = (0 << 9) | (1 << 5) | 1;  // (year - 1980) << 9 | month << 5 | day
    std::uint32_t externalAttributes = 0;
    std::uint16_t internalAttributes = 0;
    std::uint8_t hostSystem = kHostMsDos;
    std::uint8_t versionMadeBy = 20;  // low byte of "version made by"
    std::uint16_t versionNeeded = 10;
    DataDescriptor descriptor = DataDescriptor::None;
    std::vector<std::uint8_t> localExtra;
    std::vector<std::uint8_t> centralExtra;
    std::string comment;
};

// Where Finish put things, for tests that patch an archive afterwards.
struct ZipLayout {
    std::vector<std::size_t> localHeaderOffsets;
    std::vector<std::size_t> dataOffsets;
    std::size_t centralDirectoryOffset = 0;
    std::size_t endRecordOffset = 0;
};

class ZipWriter {
  public:
    void Add(ZipEntry entry) { entries_.push_back(std::move(entry)); }
    void SetComment(std::string comment) { comment_ = std::move(comment); }
    const std::vector<ZipEntry>& Entries() const { return entries_; }

    // The whole archive.
    std::vector<std::uint8_t> Finish(ZipLayout* layout = nullptr) const;

  private:
    std::vector<ZipEntry> entries_;
    std::string comment_;
};

}  // namespace setup::zipenc
