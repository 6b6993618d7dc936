// What the uninstaller accepts from its log before it touches anything. The log
// is a plain text file in the Windows folder; whatever it names is removed, so
// every path and registry name in it is checked first.
#pragma once

#include <string_view>

namespace setup::uninstall {

enum class PathKind { File, Folder };

// An absolute path on a drive letter: "X:\" and names separated by single
// backslashes, at most 259 characters. No name is "." or "..", ends in a dot or a
// blank (Windows would drop those and address another name), names a device
// (IsDosDeviceName: "NUL.txt", "COM1", ...), or holds a wildcard, a colon (a
// second stream), a control character or one of < > " | /.
// A folder ends in "\" (a drive's root "X:\" is a folder); a file does not.
bool IsSafeLocalPath(std::string_view path, PathKind kind);

// One key name directly under a registry root: not empty, at most 255
// characters, without backslash, wildcard or control character, not "." or "..".
bool IsSafeKeyName(std::string_view name);

}  // namespace setup::uninstall
