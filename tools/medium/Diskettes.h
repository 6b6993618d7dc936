// Spreading a medium over diskettes the way the installer uses them: it starts
// from the first diskette (the script, Setup.exe, the logo, the info text and the
// uninstaller, whose presence it checks at start-up), asks for the listed files
// in list order, prompting for another diskette while a file is missing, and
// places the uninstaller from the diskette in the drive after the last file. So
// each listed file lies on the diskette in the drive when it is asked for, the
// diskettes are changed forward only, and the last one holds the uninstaller too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace setup::medium {

struct MediumFile {
    std::string path;  // relative to the medium, Windows-1252, as the script names it
    std::uint64_t size = 0;
};

struct DisketteLayout {
    std::vector<std::vector<std::string>> disks;  // the paths on each diskette, in order
};

// `SIZE` of --diskettes: bytes, or a number with K (1024 bytes) or M (1000 K, as
// floppy sizes are named: 1.44M = 1440K); nothing when it is none of these.
std::optional<std::uint64_t> ParseDisketteSize(std::string_view text);

// The diskettes for `first` (files the first diskette must hold), `listed` (the
// files in the order the copy phase asks for them, repeats included) and the
// uninstaller (empty path: none), none holding more than `capacity` bytes; or
// the error text, naming the file that can't be placed.
std::variant<DisketteLayout, std::string> LayOutDiskettes(const std::vector<MediumFile>& first,
                                                          const std::vector<MediumFile>& listed,
                                                          const MediumFile& uninstaller,
                                                          std::uint64_t capacity);

}  // namespace setup::medium
