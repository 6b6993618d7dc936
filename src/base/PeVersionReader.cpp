#include "base/PeVersionReader.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace setup {
namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kVersionType = 16;  // RT_VERSION
constexpr std::uint32_t kVersionName = 1;   // VS_VERSION_INFO
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
constexpr std::uint32_t kNameIsStringFlag = 0x80000000;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;
// Enough of the version block for its header, key and fixed part.
constexpr std::size_t kVersionBlockPrefix = 256;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeFile {
  public:
    explicit PeFile(const ByteReader& read) : read_(read) {}

    std::optional<std::vector<std::uint8_t>> Bytes(std::uint64_t offset, std::size_t size) {
        std::vector<std::uint8_t> bytes(size);
        if (!read_(offset, bytes)) {
            return std::nullopt;
        }
        return bytes;
    }

    // Headers and section table; false when this is no PE file.
    bool ReadHeaders() {
        auto dos = Bytes(0, 64);
        if (!dos || U16(*dos, 0) != kDosMagic) {
            return false;
        }
        const std::uint64_t pe = U32(*dos, 0x3C);
        auto file = Bytes(pe, 24);
        if (!file || U32(*file, 0) != kPeSignature) {
            return false;
        }
        const std::uint16_t sectionCount = U16(*file, 6);
        const std::uint16_t optionalSize = U16(*file, 20);
        auto optional = Bytes(pe + 24, optionalSize);
        if (!optional || optionalSize < 2) {
            return false;
        }
        std::size_t countAt = 0;
        switch (U16(*optional, 0)) {
            case kPe32Magic:
                countAt = 92;
                break;
            case kPe32PlusMagic:
                countAt = 108;
                break;
            default:
                return false;
        }
        const std::size_t entryAt = countAt + 4 + kResourceDirectoryIndex * 8;
        if (optionalSize < entryAt + 8 || U32(*optional, countAt) <= kResourceDirectoryIndex) {
            return false;
        }
        resourceRva_ = U32(*optional, entryAt);

        auto table = Bytes(pe + 24 + optionalSize, std::size_t{sectionCount} * 40);
        if (!table) {
            return false;
        }
        for (std::size_t i = 0; i < sectionCount; ++i) {
            sections_.push_back(
                {U32(*table, i * 40 + 12), U32(*table, i * 40 + 16), U32(*table, i * 40 + 20)});
        }
        return resourceRva_ != 0;
    }

    // The section whose raw data holds this address.
    const Section* SectionOf(std::uint32_t rva) const {
        for (const Section& s : sections_) {
            if (rva >= s.virtualAddress &&
                std::uint64_t{rva} < std::uint64_t{s.virtualAddress} + s.rawSize) {
                return &s;
            }
        }
        return nullptr;
    }

    // The resource directory lies in one section; its offsets count from its start.
    bool LocateResources() {
        const Section* s = SectionOf(resourceRva_);
        if (s == nullptr) {
            return false;
        }
        resourceStart_ = std::uint64_t{s->rawOffset} + (resourceRva_ - s->virtualAddress);
        resourceLimit_ = std::uint64_t{s->rawOffset} + s->rawSize;
        return true;
    }

    // The entry of a directory (at `offset` from the resource start) with the
    // wanted numeric id; with no id, the neutral language, US English, or the
    // first entry. Gives the entry's target word.
    std::optional<std::uint32_t> FindEntry(std::uint32_t offset, std::optional<std::uint32_t> id) {
        auto header = ResourceBytes(offset, 16);
        if (!header) {
            return std::nullopt;
        }
        const std::size_t named = U16(*header, 12);
        const std::size_t total = named + U16(*header, 14);
        auto entries = ResourceBytes(std::uint64_t{offset} + 16, total * 8);
        if (!entries || total == 0) {
            return std::nullopt;
        }
        auto target = [&](std::size_t i) { return U32(*entries, i * 8 + 4); };
        auto idOf = [&](std::size_t i) -> std::optional<std::uint32_t> {
            std::uint32_t name = U32(*entries, i * 8);
            if ((name & kNameIsStringFlag) != 0) {
                return std::nullopt;
            }
            return name & 0xFFFF;
        };
        if (id) {
            for (std::size_t i = named; i < total; ++i) {
                if (idOf(i) == *id) {
                    return target(i);
                }
            }
            return std::nullopt;
        }
        for (std::uint32_t language : {0x0000u, 0x0409u}) {
            for (std::size_t i = named; i < total; ++i) {
                if (idOf(i) == language) {
                    return target(i);
                }
            }
        }
        return target(0);
    }

    std::optional<std::vector<std::uint8_t>> ResourceBytes(std::uint64_t offset, std::size_t size) {
        if (resourceStart_ + offset + size > resourceLimit_) {
            return std::nullopt;
        }
        return Bytes(resourceStart_ + offset, size);
    }

    PeVersion Read() {
        PeVersion none;
        if (!ReadHeaders() || !LocateResources()) {
            return none;
        }
        // Three levels: type, name, language. The first two must be directories,
        // the last a data entry, so a directory pointing back at itself ends here.
        auto names = FindEntry(0, kVersionType);
        if (!names || (*names & kSubdirectoryFlag) == 0) {
            return none;
        }
        auto languages = FindEntry(*names & ~kSubdirectoryFlag, kVersionName);
        if (!languages || (*languages & kSubdirectoryFlag) == 0) {
            return none;
        }
        auto leaf = FindEntry(*languages & ~kSubdirectoryFlag, std::nullopt);
        if (!leaf || (*leaf & kSubdirectoryFlag) != 0) {
            return none;
        }
        auto data = ResourceBytes(*leaf, 16);
        if (!data) {
            return none;
        }
        const std::uint32_t dataRva = U32(*data, 0);
        const std::uint32_t dataSize = U32(*data, 4);
        const Section* s = SectionOf(dataRva);
        if (s == nullptr || dataSize == 0) {
            return none;
        }
        // The version information exists; from here on a defect leaves its fixed
        // part unreadable.
        PeVersion result;
        result.status = PeVersionStatus::FixedInfoUnreadable;
        const std::uint64_t inSection = dataRva - s->virtualAddress;
        const std::uint64_t available = std::uint64_t{s->rawSize} - inSection;
        std::size_t size = kVersionBlockPrefix;
        if (dataSize < size)
            size = dataSize;
        if (available < size)
            size = static_cast<std::size_t>(available);
        auto block = Bytes(std::uint64_t{s->rawOffset} + inSection, size);
        if (!block) {
            return result;
        }
        auto fixed = FixedInfo(*block);
        if (fixed) {
            result.status = PeVersionStatus::Found;
            result.numbers = *fixed;
        }
        return result;
    }

    // The value of the root block "VS_VERSION_INFO": after the header and the
    // key, aligned to 4 bytes. Both layouts exist: the 32-bit one with a type
    // word and a UTF-16 key, and the 16-bit one with an ANSI key right after the
    // two length words (its key starts with a printable character).
    static std::optional<VersionNumbers> FixedInfo(std::span<const std::uint8_t> block) {
        if (block.size() < 6) {
            return std::nullopt;
        }
        const std::size_t valueLength = U16(block, 2);
        std::size_t at = 0;
        if (block[4] >= 0x20) {
            at = 4;
            while (at < block.size() && block[at] != 0)
                ++at;
            at += 1;
        } else {
            at = 6;
            while (at + 1 < block.size() && (block[at] | block[at + 1]) != 0)
                at += 2;
            at += 2;
        }
        at = (at + 3) & ~std::size_t{3};
        if (valueLength < kFixedInfoSize || at + kFixedInfoSize > block.size() ||
            U32(block, at) != kFixedSignature) {
            return std::nullopt;
        }
        const std::uint32_t ms = U32(block, at + 8);
        const std::uint32_t ls = U32(block, at + 12);
        return VersionNumbers{
            static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
            static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
    }

  private:
    const ByteReader& read_;
    std::uint32_t resourceRva_ = 0;
    std::vector<Section> sections_;
    std::uint64_t resourceStart_ = 0;
    std::uint64_t resourceLimit_ = 0;
};

}  // namespace

PeVersion ReadPeVersion(const ByteReader& read) {
    return PeFile(read).Read();
}

PeVersion ReadPeVersion(std::span<const std::uint8_t> image) {
    ByteReader read = [image](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > image.size() || out.size() > image.size() - offset) {
            return false;
        }
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return true;
    };
    return ReadPeVersion(read);
}

}  // namespace setup
