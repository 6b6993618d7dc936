// The two meanings of a wildcard pattern side by side: file names as the file
// search matches them, and entry names of extraction runs.
#include <gtest/gtest.h>

#include "base/Wildcards.h"

namespace setup {
namespace {

TEST(Wildcards, FileNamesAndEntryNamesDifferWhereTheyShould) {
    struct Case {
        const char* pattern;
        const char* name;
        bool fileName;   // MatchesFileNamePattern
        bool entryName;  // MatchesEntryNamePattern
    };
    const Case cases[] = {
        {"*.txt", "LIESMICH.TXT", true, true},
        {"?b*", "abc", true, true},
        {"a*c", "ab", false, false},
        {"*.*", "ohne", true, true},
        // The file system folds accented letters, the extractor only A-Z.
        {"Über*.txt", "übersicht.txt", true, false},
        {"\x9A*", "\x8A", true, false},  // š and Š
        // Two final stars need a character in an entry name only.
        {"A**", "A", true, false},
        {"A**", "AB", true, true},
        {"A*", "A", true, true},
        // The empty pattern matches every entry, but only an empty file name.
        {"", "name", false, true},
        {"", "", true, true},
        // A pattern is matched whole.
        {"abc", "abcd", false, false},
        {"a?c", "ac", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(MatchesFileNamePattern(c.pattern, c.name), c.fileName);
        EXPECT_EQ(MatchesEntryNamePattern(c.pattern, c.name), c.entryName);
    }
}

}  // namespace
}  // namespace setup
