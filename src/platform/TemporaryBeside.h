// Writing beside, then replacing: a file that must never be seen half-written (an
// extracted file over an existing one, a copy that replaces a file in use, the
// uninstall log) is first written under a temporary name in the target's folder and
// then renamed over the target in one step. A failure at any point leaves the old
// target as it was.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/Os.h"

namespace setup::platform {

// The path names an existing folder.
bool IsFolder(FileSystem& files, std::string_view path);

// Creates a new, empty file beside `target` (in the folder of its path) under a
// name nothing used before, PREFIX + four hex digits + ".tmp", created exclusively
// so that nobody else's file is ever overwritten; a taken name is skipped. The
// file is returned open for writing and its path stored in `path`. Null (and an
// empty path) when the folder takes no new file.
std::unique_ptr<File> CreateTemporaryBeside(FileSystem& files, std::string_view target,
                                            std::string_view prefix, std::string& path);

// Replaces the content of `target` with `bytes` through a temporary file beside
// it: false, with the target unchanged and no temporary file left, when anything
// fails (a full disk, a read-only target, a folder that takes no file).
bool WriteFileReplacing(FileSystem& files, std::string_view target,
                        std::span<const std::uint8_t> bytes);

}  // namespace setup::platform
