// A plain copy that never destroys the file it replaces.
#pragma once

#include <string_view>

namespace setup::install {

// Copies `source` to `target` as the system's file copy does (content, attributes,
// last-write time), by way of a temporary file beside the target that takes the
// target's place only once the whole copy succeeded. On failure the old target
// is untouched and no temporary file is left. A read-only existing target fails.
bool ReplaceByCopy(std::string_view source, std::string_view target);

}  // namespace setup::install
