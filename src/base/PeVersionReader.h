// The fixed version information of a 32- or 64-bit Windows program file, read
// from its bytes: DOS header, PE header, section table, the resource directory
// down to the version resource (type 16, name 1), and its VS_FIXEDFILEINFO.
// The file is untrusted (whatever lies in an earlier installation's folder):
// every offset and size is checked, and no read leaves the file.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace setup {

using VersionNumbers = std::array<std::uint16_t, 4>;  // major, minor, release, build

enum class PeVersionStatus {
    NoVersionInfo,        // not a PE file, or no version resource in it
    FixedInfoUnreadable,  // a version resource whose fixed part is missing or damaged
    Found,
};

struct PeVersion {
    PeVersionStatus status = PeVersionStatus::NoVersionInfo;
    VersionNumbers numbers{};  // all zero unless Found
};

// Fills `out` with the bytes at `offset`; false when not all of them exist.
using ByteReader = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

PeVersion ReadPeVersion(const ByteReader& read);
PeVersion ReadPeVersion(std::span<const std::uint8_t> image);

}  // namespace setup
