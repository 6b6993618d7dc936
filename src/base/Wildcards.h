// Wildcard patterns: "*" stands for any run of characters, "?" for exactly one,
// and every other character for itself with letter case ignored. Two meanings
// share the matcher and differ on purpose:
//  - file names as the system's file search matches them (FindFirstFileA), where
//    letters fold as the file system folds them (accented ones too);
//  - entry names of archive extraction runs, where only A-Z and a-z fold, an
//    empty pattern matches everything and two or more final "*" need at least one
//    character.
// Header-only, so that the extractor and the emulated file system, which see
// nothing above the seam, use the same code.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/AsciiText.h"
#include "base/Windows1252.h"

namespace setup {

// Greedy matching with one backtrack point, the last "*" seen: on a mismatch the
// star eats one more character. O(name x pattern) steps at worst. `fold` maps a
// character to the form in which two characters compare equal.
template <typename Fold>
constexpr bool MatchesWildcards(std::string_view pattern, std::string_view name, Fold fold) {
    std::size_t p = 0;  // pattern position
    std::size_t n = 0;  // name position
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;  // name position the last star's match ends at
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// FindFirstFileA's matching of one name: letters without regard to case as the
// file system compares them (FoldCase1252); "*.*" matches every name.
inline bool MatchesFileNamePattern(std::string_view pattern, std::string_view name) {
    return MatchesWildcards(pattern == "*.*" ? std::string_view("*") : pattern, name, FoldCase1252);
}

// The pattern of an extraction run against an entry name. "*.*" and the empty
// pattern match every name. Otherwise the match ignores the case of A-Z; "." and
// "\" are ordinary characters, so "*" also matches across folders. The pattern's
// meaning is defined recursively: a pattern rest of exactly "*" matches; at the
// end of the name the pattern must be at its end too; "*" tries the empty match
// first, then eats one character. The second rule taking precedence over "*" is
// the one departure from ordinary wildcards: a run of two or more final stars
// can't match the empty rest, so it needs at least one character, which makes it
// equal to "?*" ("A**" matches "AB" but not "A"), while a single final "*" also
// matches nothing. After that rewrite the ordinary matcher applies.
inline bool MatchesEntryNamePattern(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || pattern == "*.*") {
        return true;
    }
    std::size_t stars = 0;
    while (stars < pattern.size() && pattern[pattern.size() - 1 - stars] == '*') {
        ++stars;
    }
    std::string rewritten;
    if (stars >= 2) {
        rewritten = std::string(pattern.substr(0, pattern.size() - stars)) + "?*";
        pattern = rewritten;
    }
    return MatchesWildcards(pattern, name, AsciiUpperChar);
}

}  // namespace setup
