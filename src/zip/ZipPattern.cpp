// The pattern's meaning is defined recursively: at name position i and pattern
// position j, a pattern rest of exactly "*" matches; at the end of the name the
// pattern must be at its end too; "*" tries the empty match first, then eats one
// character. The only departure from ordinary wildcards is the second rule taking
// precedence over "*": a run of two or more final stars cannot match the empty
// rest, so it needs at least one character, which makes it equal to "?*".
//
// After that rewrite the pattern is ordinary, and the usual iterative matcher
// applies: on a mismatch it returns to the last "*" and lets it eat one more
// character. This takes O(name x pattern) steps at worst, where the recursive
// definition takes exponential time on patterns with many stars.
#include "zip/ZipPattern.h"

#include <string>

namespace setup::zip {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool ZipMatchPattern(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || pattern == "*.*") {
        return true;
    }
    std::string p(pattern);
    std::size_t stars = 0;
    while (stars < p.size() && p[p.size() - 1 - stars] == '*') {
        ++stars;
    }
    if (stars >= 2) {
        p.resize(p.size() - stars);
        p += "?*";
    }

    std::size_t i = 0;  // name position
    std::size_t j = 0;  // pattern position
    std::size_t starAt = std::string::npos;
    std::size_t resumeAt = 0;  // name position the last star's match ends at
    while (i < name.size()) {
        if (j < p.size() && p[j] == '*') {
            starAt = j++;
            resumeAt = i;
        } else if (j < p.size() && (p[j] == '?' || Upper(p[j]) == Upper(name[i]))) {
            ++i;
            ++j;
        } else if (starAt != std::string::npos) {
            j = starAt + 1;
            i = ++resumeAt;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == '*') {
        ++j;
    }
    return j == p.size();
}

}  // namespace setup::zip
