// Matching entry names against the wildcard patterns of extraction runs.
#pragma once

#include <string_view>

namespace setup::zip {

// "*.*" and the empty pattern match every name. Otherwise the match ignores the case
// of A-Z, "?" matches one character and "*" any run of characters; "." and "\" are
// ordinary characters, so "*" also matches across folders. One rule differs from
// the usual wildcard semantics: two or more "*" that end the pattern need at least
// one character ("A**" matches "AB" but not "A"), while a single final "*" also
// matches nothing. Names and patterns of any length are compared whole.
bool ZipMatchPattern(std::string_view pattern, std::string_view name);

}  // namespace setup::zip
