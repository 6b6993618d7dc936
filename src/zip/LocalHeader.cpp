#include "zip/LocalHeader.h"

#include <span>
#include <vector>

#include "zip/ZipDirectory.h"

namespace setup::zip {
namespace {

constexpr std::uint32_t kDescriptorSignature = 0x08074B50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint16_t kZip64FieldId = 0x0001;
constexpr std::uint32_t kSizeInZip64Field = 0xFFFFFFFF;

std::uint64_t LoadLe64(const std::uint8_t* p) {
    return LoadLe32(p) | std::uint64_t{LoadLe32(p + 4)} << 32;
}

// Looks for the ZIP64 field in the local header's extra field (`length` bytes at
// the archive's position). With it, `header` notes the field and, when its sizes are
// `fromField`, takes them from it. 0, or -4 for an unreadable extra field, or sizes
// the field does not give or that are 0x7FFFFFFF or more.
std::int32_t ReadZip64Field(platform::File& archive, std::uint16_t length, bool fromField,
                            LocalHeader& header) {
    std::vector<std::uint8_t> extra(length);
    if (archive.Read(extra) != static_cast<std::int64_t>(length)) {
        return Fail(ZipErrFormat);
    }
    std::span<const std::uint8_t> rest(extra);
    while (rest.size() >= 4) {
        const std::size_t size = LoadLe16(rest.data() + 2);
        if (size > rest.size() - 4) {
            break;  // a damaged extra field: nothing more in it is trusted
        }
        if (LoadLe16(rest.data()) == kZip64FieldId) {
            header.Zip64 = true;
            if (!fromField) {
                return ZipOk;
            }
            // In a local header the field holds both sizes.
            constexpr auto kLargest = static_cast<std::uint64_t>(kUnknownSize) - 1;
            if (size < 16 || LoadLe64(rest.data() + 4) > kLargest ||
                LoadLe64(rest.data() + 12) > kLargest) {
                return Fail(ZipErrFormat);
            }
            header.Size = static_cast<std::int32_t>(LoadLe64(rest.data() + 4));
            header.CompressedSize = static_cast<std::int32_t>(LoadLe64(rest.data() + 12));
            return ZipOk;
        }
        rest = rest.subspan(4 + size);
    }
    return fromField ? Fail(ZipErrFormat) : ZipOk;
}

}  // namespace

std::int32_t ReadLocalHeader(platform::File& archive, std::uint32_t offset,
                             const ZipCentralValues* central, LocalHeader& header) {
    std::uint8_t bytes[kLocalHeaderSize];
    if (!archive.Seek(offset)) {
        return Fail(ZipErrRead);
    }
    if (archive.Read(bytes) != static_cast<std::int64_t>(kLocalHeaderSize) ||
        LoadLe32(bytes) != kLocalSignature) {
        return Fail(ZipErrFormat);
    }
    header.Flags = LoadLe16(bytes + 6);
    header.Method = LoadLe16(bytes + 8);
    header.Time = LoadLe32(bytes + 10);
    header.Crc = LoadLe32(bytes + 14);
    header.CompressedSize = static_cast<std::int32_t>(LoadLe32(bytes + 18));
    header.Size = static_cast<std::int32_t>(LoadLe32(bytes + 22));
    header.HasDescriptor = (header.Flags & 8) != 0;
    if (header.HasDescriptor && central != nullptr) {
        header.CompressedSize = central->CompressedSize;
        header.Size = central->Size;
        header.Crc = central->Crc;
    } else if (header.HasDescriptor) {
        header.CompressedSize = kUnknownSize;
        header.Size = kUnknownSize;
        header.SizesKnown = false;
    }
    if (header.Method >= 32 || ((kSupportedMethods >> header.Method) & 1) == 0) {
        return Fail(ZipErrMethod);
    }
    if ((header.Flags & 1) != 0) {
        return Fail(ZipErrEncrypted);
    }
    const std::uint16_t nameLength = LoadLe16(bytes + 26);
    const std::uint16_t extraLength = LoadLe16(bytes + 28);
    const bool sizesInField = !header.HasDescriptor && (LoadLe32(bytes + 18) == kSizeInZip64Field ||
                                                        LoadLe32(bytes + 22) == kSizeInZip64Field);
    if (sizesInField || header.HasDescriptor) {
        if (!archive.Seek(std::uint64_t{offset} + kLocalHeaderSize + nameLength)) {
            return Fail(ZipErrRead);
        }
        if (const std::int32_t result = ReadZip64Field(archive, extraLength, sizesInField, header);
            result != 0) {
            return result;
        }
    }
    header.DataOffset = std::uint64_t{offset} + kLocalHeaderSize + nameLength + extraLength;
    if (!archive.Seek(header.DataOffset)) {
        return Fail(ZipErrRead);
    }
    return ZipOk;
}

std::int32_t CheckDescriptor(platform::File& archive, const LocalHeader& header) {
    const std::size_t sizeBytes = header.Zip64 ? 8 : 4;
    const std::size_t fieldsBytes = 4 + 2 * sizeBytes;
    std::uint8_t bytes[4 + 4 + 2 * 8];
    const std::uint64_t at = header.DataOffset + static_cast<std::uint32_t>(header.CompressedSize);
    const std::int64_t got = archive.Seek(at) ? archive.Read({bytes, 4 + fieldsBytes}) : -1;
    if (got < static_cast<std::int64_t>(fieldsBytes)) {
        return Fail(ZipErrRead);
    }
    auto loadSize = [sizeBytes](const std::uint8_t* field) {
        return sizeBytes == 8 ? LoadLe64(field) : LoadLe32(field);
    };
    auto agrees = [&header, &loadSize, sizeBytes](const std::uint8_t* fields) {
        return LoadLe32(fields) == header.Crc &&
               loadSize(fields + 4) == static_cast<std::uint32_t>(header.CompressedSize) &&
               loadSize(fields + 4 + sizeBytes) == static_cast<std::uint32_t>(header.Size);
    };
    const bool withSignature = got == static_cast<std::int64_t>(4 + fieldsBytes) &&
                               LoadLe32(bytes) == kDescriptorSignature;
    if (agrees(bytes) || (withSignature && agrees(bytes + 4))) {
        return ZipOk;
    }
    const std::uint8_t* fields = withSignature ? bytes + 4 : bytes;
    return Fail(LoadLe32(fields) != header.Crc ? ZipErrCrc : ZipErrFormat);
}

std::uint32_t ReadDescriptorCrc(ExtractState& state, std::uint32_t computedCrc) {
    state.AlignToByte();
    auto read32 = [&state] {
        const std::uint32_t low = state.ReadBits(16);  // two statements: the order matters
        return low | state.ReadBits(16) << 16;
    };
    const std::uint32_t value = read32();
    if (value == kDescriptorSignature && value != computedCrc) {
        return read32();
    }
    return value;
}

}  // namespace setup::zip
