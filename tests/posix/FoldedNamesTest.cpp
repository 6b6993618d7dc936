// The open-addressed name table must answer as a plain map of sets does, through
// growth, names that lose all their spellings and the rebuilds that drop them.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

#include "platform/posix/FoldedNames.h"

namespace setup::platform::posix {
namespace {

TEST(FoldedNamesTest, AgreesWithAMapOfSetsThroughGrowthAndRemovals) {
    FoldedNames table;
    std::map<std::string, std::set<std::string>> expected;
    std::mt19937 random(99);
    // Phases: mostly adding (growth), then mostly removing (rebuilds), then mixed.
    for (const int addPercent : {90, 5, 50}) {
        for (int step = 0; step < 4000; ++step) {
            const std::string folded = "datei" + std::to_string(random() % 1500);
            const std::string host = folded + (random() % 2 ? "" : "~");
            if (static_cast<int>(random() % 100) < addPercent) {
                table.Add(folded, host);
                expected[folded].insert(host);
            } else {
                table.Remove(folded, host);
                if (auto found = expected.find(folded); found != expected.end()) {
                    found->second.erase(host);
                    if (found->second.empty()) {
                        expected.erase(found);
                    }
                }
            }
        }
        for (int name = 0; name < 1600; ++name) {
            const std::string folded = "datei" + std::to_string(name);
            const std::string* first = table.First(folded);
            const auto found = expected.find(folded);
            ASSERT_EQ(first != nullptr, found != expected.end()) << folded;
            if (first != nullptr) {
                EXPECT_EQ(*first, *found->second.begin()) << folded;
            }
        }
    }
}

}  // namespace
}  // namespace setup::platform::posix
