// `medium check`: the problems the installer would meet on a medium, found before
// it ships. The script is read with the installer's own profile rules (through the
// seam, as the installer reads it), the file lists with its own key rules, and
// every archive is test-extracted with its own extractor. The rules and their
// names are listed in docs/setup-ini.md.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Diagnostics.h"

namespace setup::medium {

struct CheckOptions {
    // The name of an existing file as the disk spells it (its last components,
    // as many as `windowsPath` has below the medium), to find names that match
    // only because Windows ignores letter case. Empty: not checked.
    std::function<std::optional<std::string>(std::string_view windowsPath)> spelling;
};

// Checks the medium in `folder` (a Windows path with trailing backslash): the
// folder holding Setup.ini, or one holding the diskettes as subfolders
// "Diskette 1", "Diskette 2", ... (also "Diskette1", ...). Findings in line order.
std::vector<Diagnostic> CheckMedium(std::string_view folder, const CheckOptions& options = {});

// The diskette folders of a medium (Windows paths with trailing backslash, in
// order), or nothing when `folder` holds no "Diskette 1".
std::vector<std::string> DisketteFolders(std::string_view folder);

}  // namespace setup::medium
