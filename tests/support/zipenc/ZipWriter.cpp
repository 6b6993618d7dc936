#include "support/zipenc/ZipWriter.h"

#include <stdexcept>

namespace setup::zipenc {
namespace {

class ByteSink {
  public:
    explicit ByteSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void U16(std::uint32_t value) {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFFu);
        U16(value >> 16);
    }
    template <typename Bytes>
    void Append(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }

  private:
    std::vector<std::uint8_t>& bytes_;
};

std::uint16_t Length16(std::size_t size) {
    if (size > 0xFFFF) {
        throw std::invalid_argument("ZipWriter: field longer than 65535 bytes");
    }
    return static_cast<std::uint16_t>(size);
}

}  // namespace

std::vector<std::uint8_t> ZipWriter::Finish(ZipLayout* layout) const {
    std::vector<std::uint8_t> archive;
    ByteSink out(archive);
    ZipLayout where;

    for (const ZipEntry& e : entries_) {
        const bool descriptor = e.descriptor != DataDescriptor::None;
        const std::uint16_t flags = static_cast<std::uint16_t>(e.flags | (descriptor ? 8 : 0));
        const std::uint32_t compressedSize =
            e.compressedSize.value_or(static_cast<std::uint32_t>(e.data.size()));
        where.localHeaderOffsets.push_back(archive.size());
        out.U32(0x04034B50);
        out.U16(e.versionNeeded);
        out.U16(flags);
        out.U16(e.method);
        out.U16(e.dosTime);
        out.U16(e.dosDate);
        out.U32(descriptor ? 0 : e.crc);
        out.U32(descriptor ? 0 : compressedSize);
        out.U32(descriptor ? 0 : e.uncompressedSize);
        out.U16(Length16(e.name.size()));
        out.U16(Length16(e.localExtra.size()));
        out.Append(e.name);
        out.Append(e.localExtra);
        where.dataOffsets.push_back(archive.size());
        out.Append(e.data);
        if (descriptor) {
            if (e.descriptor == DataDescriptor::WithSignature) {
                out.U32(0x08074B50);
            }
            out.U32(e.crc);
            out.U32(compressedSize);
            out.U32(e.uncompressedSize);
        }
    }

    where.centralDirectoryOffset = archive.size();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const ZipEntry& e = entries_[i];
        const bool descriptor = e.descriptor != DataDescriptor::None;
        out.U32(0x02014B50);
        out.U16(static_cast<std::uint32_t>(e.hostSystem) << 8 | e.versionMadeBy);
        out.U16(e.versionNeeded);
        out.U16(static_cast<std::uint16_t>(e.flags | (descriptor ? 8 : 0)));
        out.U16(e.method);
        out.U16(e.dosTime);
        out.U16(e.dosDate);
        out.U32(e.crc);
        out.U32(e.compressedSize.value_or(static_cast<std::uint32_t>(e.data.size())));
        out.U32(e.uncompressedSize);
        out.U16(Length16(e.name.size()));
        out.U16(Length16(e.centralExtra.size()));
        out.U16(Length16(e.comment.size()));
        out.U16(0);  // disk number
        out.U16(e.internalAttributes);
        out.U32(e.externalAttributes);
        out.U32(static_cast<std::uint32_t>(where.localHeaderOffsets[i]));
        out.Append(e.name);
        out.Append(e.centralExtra);
        out.Append(e.comment);
    }

    where.endRecordOffset = archive.size();
    const std::size_t centralSize = where.endRecordOffset - where.centralDirectoryOffset;
    out.U32(0x06054B50);
    out.U16(0);  // this disk
    out.U16(0);  // disk with the central directory
    out.U16(Length16(entries_.size()));
    out.U16(Length16(entries_.size()));
    out.U32(static_cast<std::uint32_t>(centralSize));
    out.U32(static_cast<std::uint32_t>(where.centralDirectoryOffset));
    out.U16(Length16(comment_.size()));
    out.Append(comment_);

    if (layout != nullptr) {
        *layout = std::move(where);
    }
    return archive;
}

}  // namespace setup::zipenc
