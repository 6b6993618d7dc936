// The wildcard matcher: its documented cases, and agreement with a literal
// transcription of the recursive definition on many random short patterns.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "zip/ZipPattern.h"

namespace setup::zip {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// The definition, step by step (exponential, fine for short strings).
bool Reference(const std::string& p, std::size_t j, const std::string& n, std::size_t i) {
    if (p.substr(j) == "*") {
        return true;
    }
    if (i == n.size()) {
        return j == p.size();
    }
    if (j == p.size()) {
        return false;
    }
    if (p[j] == '*') {
        return Reference(p, j + 1, n, i) || Reference(p, j, n, i + 1);
    }
    if (p[j] == '?' || Upper(p[j]) == Upper(n[i])) {
        return Reference(p, j + 1, n, i + 1);
    }
    return false;
}

TEST(ZipMatchPattern, DocumentedCases) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.*", "README", true},
        {"", "README", true},
        {"*.*", "", true},
        {"readme.*", "README.TXT", true},
        {"A?C", "AC", false},
        {"A?C", "ABC", true},
        {"*", "SUB\\FILE", true},
        {"A*", "A", true},
        {"A**", "A", false},
        {"A**", "AB", true},
        {"**", "", false},
        {"*", "", true},
        {"*.TXT", "SUB\\A.TXT", true},
        {"*.TXT", "A.TXTX", false},
        {"a*b*c", "AXXBYYC", true},
        {"a*b*c", "AXXBYY", false},
        {"?", "", false},
        {"x\\*", "X\\Y\\Z", true},
        {"\xE4*", "\xE4X", true},
        {"\xE4*", "\xC4X", false},  // only a-z change case
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZipMatchPattern(c.pattern, c.name), c.matches)
            << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
    }
}

TEST(ZipMatchPattern, AgreesWithTheRecursiveDefinition) {
    std::mt19937 random(42);
    const char alphabet[] = {'a', 'B', '*', '?', '.'};
    const char nameAlphabet[] = {'A', 'b', '.', 'c'};
    for (int round = 0; round < 20000; ++round) {
        std::string pattern;
        std::string name;
        for (auto k = random() % 7; k > 0; --k) {
            pattern += alphabet[random() % 5];
        }
        for (auto k = random() % 7; k > 0; --k) {
            name += nameAlphabet[random() % 4];
        }
        if (pattern.empty() || pattern == "*.*") {
            continue;
        }
        ASSERT_EQ(ZipMatchPattern(pattern, name), Reference(pattern, 0, name, 0))
            << "pattern \"" << pattern << "\" name \"" << name << "\"";
    }
}

TEST(ZipMatchPattern, ManyStarsOnALongNameStayFast) {
    const std::string name(5000, 'A');
    EXPECT_FALSE(ZipMatchPattern("*A*A*A*A*A*A*A*A*B", name));
    EXPECT_TRUE(ZipMatchPattern("*A*A*A*A*A*A*A*A*A", name));
}

}  // namespace
}  // namespace setup::zip
