// The seam's default way to a program file's version: its version resource, read
// with the installer's own bounds-checked PE reader through FileSystem::Open.
#include "base/PeVersionReader.h"
#include "platform/Os.h"

namespace setup::platform {

std::optional<std::array<std::uint16_t, 4>> FileSystem::ReadFileVersion(std::string_view path) {
    auto file = Open(path, OpenMode::Read);
    if (!file) {
        return std::nullopt;
    }
    ByteReader read = [&file](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (!file->Seek(offset)) {
            return false;
        }
        std::size_t done = 0;
        while (done < out.size()) {
            std::int64_t got = file->Read(out.subspan(done));
            if (got <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(got);
        }
        return true;
    };
    PeVersion version = ReadPeVersion(read);
    if (version.status == PeVersionStatus::NoVersionInfo) {
        return std::nullopt;
    }
    return version.numbers;
}

}  // namespace setup::platform
