// Matching entry names against the wildcard patterns of extraction runs.
#pragma once

#include <string_view>

#include "base/Wildcards.h"

namespace setup::zip {

// "*.*" and the empty pattern match every name; otherwise "?" is one character,
// "*" any run, A-Z match without regard to case, and two or more final "*" need at
// least one character ("A**" matches "AB" but not "A"). MatchesEntryNamePattern of
// base/Wildcards.h gives the rules in full.
inline bool ZipMatchPattern(std::string_view pattern, std::string_view name) {
    return MatchesEntryNamePattern(pattern, name);
}

}  // namespace setup::zip
