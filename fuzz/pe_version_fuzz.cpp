// Feeds arbitrary bytes as a program file to the version-resource reader: it must
// neither crash nor read outside the input, and a result it reports must be one
// of its three kinds with numbers only when found.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/PeVersionReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const setup::PeVersion version = setup::ReadPeVersion(std::span(data, size));
    if (version.status != setup::PeVersionStatus::Found &&
        version.numbers != setup::VersionNumbers{}) {
        std::abort();
    }
    return 0;
}
