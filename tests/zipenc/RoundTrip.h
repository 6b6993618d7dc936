// The check every encoder test ends in: write the archive, let unzip test it, and
// compare what unzip extracts with the original data of every entry.
#pragma once

#include <vector>

#include "TestInputs.h"
#include "support/zipenc/ZipWriter.h"

namespace setup::zipenc::testing {

// Records a test failure for every complaint of unzip and every entry that does
// not come back byte for byte. `expected` pairs entry names with their plain data.
void ExpectInfoZipExtracts(const ZipWriter& writer, const std::vector<NamedInput>& expected);

}  // namespace setup::zipenc::testing
