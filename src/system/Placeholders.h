// Placeholder tokens of the form @@NAME@@ in script values: the first token of a text
// is replaced by a folder of the running system or of the installation in progress.
#pragma once

#include <string>
#include <string_view>

namespace setup {

// Replaces the first token of `text` (one pass; a second token and any "@@" inside
// an inserted folder stay as they are). `installFolder` replaces @@INSTDIR@@ and
// `programGroup` replaces @@PRGGRP@@, both inserted as given. An unknown token is
// removed; a shell folder the shell can't locate leaves its token in place.
// Registry lookups may throw SetupError (see CurrentVersionFolder).
std::string ExpandPlaceholders(std::string_view text, std::string_view installFolder,
                               std::string_view programGroup);

}  // namespace setup
