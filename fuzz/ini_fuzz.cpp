// Feeds arbitrary bytes as a profile (INI) file to the emulated system's profile
// functions: reading, listing, writing and erasing must neither crash nor break
// their own promises on any input.
#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/posix/Cp1252.h"
#include "platform/posix/PosixOs.h"

namespace {

using setup::platform::PosixOs;
using setup::platform::PosixOsConfig;

// One emulated system for the whole run, in a temporary folder removed at exit.
struct Fixture {
    std::filesystem::path root;
    std::unique_ptr<PosixOs> os;
    std::filesystem::path hostFile;

    Fixture() {
        // Memory-backed when the host has it: rewriting a file on disk for every
        // input would make the disk, not the parser, the limit.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = base / "ini-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root = pattern;
        PosixOsConfig config;
        config.root = root;
        config.fastSleep = true;
        os = std::make_unique<PosixOs>(config);
        hostFile = *os->HostPath(kFile);
    }
    ~Fixture() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    static constexpr char kFile[] = "C:\\Fuzz.ini";
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    {
        std::ofstream out(fixture.hostFile, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto& profiles = fixture.os->Profiles();
    const std::string_view file = Fixture::kFile;
    const std::size_t maxChars = size % 64;

    const auto sections = profiles.ListSections(file);
    for (std::size_t i = 0; i < sections.size() && i < 4; ++i) {
        const auto keys = profiles.ListKeys(file, sections[i]);
        for (std::size_t k = 0; k < keys.size() && k < 4; ++k) {
            const std::string value = profiles.ReadString(file, sections[i], keys[k], "", maxChars);
            Check(value.size() <= maxChars);
        }
    }
    profiles.ReadString(file, "", "", "Vorgabe", 1023);

    // A written value reads back; an erased section is gone; other sections stay.
    const std::string section = sections.empty() ? std::string("Neu") : sections.front();
    Check(profiles.WriteString(file, section, "FuzzKey", "Wert"));
    Check(profiles.ReadString(file, section, "FuzzKey", "", 1023) == "Wert");
    Check(profiles.WriteString(file, "Fuzz Abschnitt", "Schl\xFCssel", "\"zitiert\""));
    Check(profiles.ReadString(file, "fuzz abschnitt", "SCHL\xFCSSEL", "", 1023) == "zitiert");
    const auto before = profiles.ListSections(file);
    Check(profiles.EraseSection(file, section));
    if (section.find('?') != std::string::npos) {
        // Listed from a UTF-8 or UTF-16 file, "?" stands for a character without a
        // 1252 form: the name does not address the section it was listed for.
        return 0;
    }
    for (const std::string& remaining : profiles.ListSections(file)) {
        Check(!SameName(remaining, section));
    }
    std::size_t kept = 0;
    for (const std::string& name : before) {
        kept += SameName(name, section) ? 0 : 1;
    }
    Check(profiles.ListSections(file).size() == kept);
    return 0;
}
