// Feeds arbitrary bytes to the emulated shell's shortcut reader. Besides neither
// crashing nor reading past the end, what it reads must survive its own writer:
// a shortcut written from the fields read reads back as the same fields, and
// writing those again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/ShellLinkFile.h"

namespace {

using setup::platform::posix::DecodeShellLink;
using setup::platform::posix::EncodeShellLink;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto fields =
        DecodeShellLink(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!fields) {
        return 0;
    }
    const std::string written = EncodeShellLink(*fields);
    const auto again = DecodeShellLink(written);
    Check(again.has_value() && *again == *fields);
    Check(EncodeShellLink(*again) == written);
    return 0;
}
