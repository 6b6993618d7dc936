// The file list of a medium of several diskettes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "system/IniFile.h"

namespace setup::install {

// Appends the keys of [Diskette1] .. [DisketteN] (N from [Disketten] "Anzahl",
// default 1) that `keys` does not hold yet, letter case ignored, in file order.
// Returns the number of keys in the list.
std::size_t CollectDisketteFiles(const IniFile& script, std::vector<std::string>& keys);

}  // namespace setup::install
