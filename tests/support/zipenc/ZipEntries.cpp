#include "support/zipenc/ZipEntries.h"

#include <utility>

#include "support/zipenc/Crc32.h"

namespace setup::zipenc {
namespace {

ZipEntry PlainEntry(std::string name, std::span<const std::uint8_t> plain, std::uint16_t method) {
    ZipEntry entry;
    entry.name = std::move(name);
    entry.method = method;
    entry.crc = Crc32(plain);
    entry.uncompressedSize = static_cast<std::uint32_t>(plain.size());
    entry.versionNeeded = 10;
    return entry;
}

}  // namespace

ZipEntry StoredEntry(std::string name, std::span<const std::uint8_t> plain) {
    ZipEntry entry = PlainEntry(std::move(name), plain, kMethodStored);
    entry.data.assign(plain.begin(), plain.end());
    return entry;
}

ZipEntry ShrunkEntry(std::string name, std::span<const std::uint8_t> plain,
                     const ShrinkOptions& options) {
    ZipEntry entry = PlainEntry(std::move(name), plain, kMethodShrunk);
    entry.data = Shrink(plain, options);
    return entry;
}

ZipEntry ImplodedEntry(std::string name, std::span<const std::uint8_t> plain,
                       const ImplodeOptions& options) {
    ZipEntry entry = PlainEntry(std::move(name), plain, kMethodImploded);
    entry.flags = ImplodeFlags(options);
    entry.data = Implode(plain, options);
    return entry;
}

}  // namespace setup::zipenc
