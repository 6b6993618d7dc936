// The binary Shell Link format of shortcut (".lnk") files, for the properties the
// installer sets: the target as a local path, a description and a working
// directory. The emulated shell writes its shortcuts with EncodeShellLink, and
// DecodeShellLink reads them (and shortcuts written by Windows) back, so that
// tests and the simulator can check what a shortcut points to.
//
// Plain standard C++ over bytes: the Windows tests build it too, to compare the
// emulation's files with the real shell's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Os.h"

namespace setup::platform::posix {

// Texts in Windows-1252.
struct ShellLinkFields {
    std::string target;  // full local path of the file the shortcut opens
    std::string description;
    std::string workingDirectory;

    bool operator==(const ShellLinkFields&) const = default;
};

// The file's bytes: the header, a LinkInfo with the target as its local base path
// (when there is a target), the description and the working directory as Unicode
// strings (each when not empty), and the terminal block. Texts longer than a
// string of the format can hold (65535 characters) are cut.
std::string EncodeShellLink(const ShellLinkFields& fields);

// The properties of a shortcut file; nothing when the bytes are no shell link or
// end before a part they announce. A link target given only as an item list (no
// LinkInfo) or only as a network path reads as an empty target.
std::optional<ShellLinkFields> DecodeShellLink(std::string_view bytes);

// Reads and decodes a shortcut file through the seam.
std::optional<ShellLinkFields> ReadShortcutFile(FileSystem& files, std::string_view path);

}  // namespace setup::platform::posix
