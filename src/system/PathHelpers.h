// Small helpers for texts, paths and files. Their rules are exact because script
// authors depend on the details: where a file name starts, what counts as an
// extension, which character a name loses, how a file key of the script splits.
// Texts are single-byte Windows-1252; only A-Z and a-z change case.
#pragma once

#include "base/AsciiText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// "" stays "", a text ending in "\" stays, anything else gets "\" appended.
std::string AddTrailingBackslash(std::string_view text);

// A file key of the script is  [module "#"] file name ["@" mark].
// KeyModule: the text before the first "#"; empty without "#".
std::string KeyModule(std::string_view key);
// KeyFileName: the text after the first "#" (the whole key without one), cut at its first "@".
std::string KeyFileName(std::string_view key);
// KeyIsArchive: the key's first "@" is followed by "1" (read from the whole key).
bool KeyIsArchive(std::string_view key);

// Drops one trailing "\", then returns what follows the last "\".
std::string LastPathComponent(std::string_view folder);
// Drops the last character when its code is below "." (46) or above "z" (122).
std::string TrimNameEnd(std::string_view name);

// The part behind the last "\" or ":"; the whole path when it has neither.
std::string FileNameOf(std::string_view path);
// The part up to and including the last "\" or ":"; empty when it has neither.
std::string FolderOf(std::string_view path);
// From the last "." to the end when that dot stands behind the last "\" and ":".
std::string ExtensionOf(std::string_view path);
// Replaces the extension found by ExtensionOf (if any) by `extension`.
std::string ReplaceExtension(std::string_view path, std::string_view extension);

// The full local path Windows addresses with `path`, spelled one way only, so that
// what is created and what the uninstall log records are the same path: "/"
// becomes "\", doubled backslashes collapse, each name loses its trailing dots
// and blanks (a name left empty goes), "." goes and ".." removes the name before
// it (never the drive's root). The result ends in "\" when `path` ends in a
// separator, and for a drive's root "X:\". Nothing when `path` is no full path on
// a drive letter (relative, drive-relative "C:Name", rooted "\Name", a network
// path), when a name holds a character no file name may hold (< > : " | ? * or
// a control character) or is a device (CON, NUL, COM1, ...), or when the result
// is longer than 259 characters.
std::optional<std::string> CanonicalLocalPath(std::string_view path);

// Upper- and lower-casing of A-Z and a-z only: AsciiUpper, AsciiLower and
// EqualsNoCase of base/AsciiText.h.

// The last-write time, in local time as an MS-DOS date and time, of the first entry
// the platform's file search finds for `path`; -1 when it finds nothing, finds a
// folder first, or the time lies outside the MS-DOS range (1980 to 2107).
std::int32_t FileDateOf(std::string_view path);
// True exactly when FileDateOf(path) is not -1.
bool IsExistingFile(std::string_view path);

}  // namespace setup
