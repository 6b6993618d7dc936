// Remembered folder listings must answer exactly as reading the folder does, whatever
// changed on the host since they were read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "platform/posix/FolderListings.h"
#include "support/EmulatedWindows.h"

namespace setup::platform::posix {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
    std::ofstream(path, std::ios::binary) << "x";
}

struct stat StatOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

class FolderListingsTest : public ::testing::Test {
  protected:
    std::optional<std::string> Find(std::string_view name) {
        return listings_.FindFolded(folder_, StatOf(folder_), name);
    }

    testing::TemporaryFolder root_;
    fs::path folder_ = root_.Path() / "Ordner";
    FolderListings listings_;
};

TEST_F(FolderListingsTest, ChangesOnTheHostShowAtTheNextLookup) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& folder)> change;
        const char* lookedUp;
        std::optional<std::string> expected;
    };
    const fs::path elsewhere = root_.Path() / "Anderswo";
    const Case cases[] = {
        {"created", [](const fs::path& f) { Touch(f / "Beta.TXT"); }, "beta.txt", "Beta.TXT"},
        {"deleted", [](const fs::path& f) { fs::remove(f / "Alpha.txt"); }, "ALPHA.TXT", {}},
        {"renamed", [](const fs::path& f) { fs::rename(f / "Alpha.txt", f / "Gamma.txt"); },
         "gamma.txt", "Gamma.txt"},
        {"renamed away",
         [](const fs::path& f) { fs::rename(f / "Alpha.txt", f / "Gamma.txt"); },
         "alpha.txt",
         {}},
        {"moved in",
         [&elsewhere](const fs::path& f) {
             Touch(elsewhere / "Delta.txt");
             fs::rename(elsewhere / "Delta.txt", f / "Delta.txt");
         },
         "DELTA.txt", "Delta.txt"},
        {"moved out",
         [&elsewhere](const fs::path& f) { fs::rename(f / "Alpha.txt", elsewhere / "A"); },
         "alpha.txt",
         {}},
        {"second spelling sorts first", [](const fs::path& f) { Touch(f / "ALPHA.TXT"); },
         "alpha.txt", "ALPHA.TXT"},
        // Host names are UTF-8, looked-up names Windows-1252 ("Ä" and "ä").
        {"umlaut in another case", [](const fs::path& f) { Touch(f / "\xC3\x84rger.txt"); },
         "\xE4rger.txt", "\xC3\x84rger.txt"},
        {"folder replaced",
         [](const fs::path& f) {
             fs::remove_all(f);
             fs::create_directory(f);
             Touch(f / "alpha.TXT");
         },
         "ALPHA.txt", "alpha.TXT"},
        {"folder swapped by renames",
         [&elsewhere](const fs::path& f) {
             fs::rename(f, elsewhere / "alt");
             fs::create_directory(f);
         },
         "alpha.txt",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder_);
        fs::remove_all(elsewhere);
        fs::create_directories(folder_);
        fs::create_directories(elsewhere);
        Touch(folder_ / "Alpha.txt");
        ASSERT_EQ(Find("ALPHA.TXT"), "Alpha.txt");  // read
        ASSERT_EQ(Find("alpha.txt"), "Alpha.txt");  // read again and remembered
        ASSERT_GE(listings_.HeldCount(), 1u);
        c.change(folder_);
        EXPECT_EQ(Find(c.lookedUp), c.expected);
        EXPECT_EQ(Find(c.lookedUp), ScanFolderFolded(folder_, c.lookedUp));
    }
}

TEST_F(FolderListingsTest, AFolderIsRememberedFromItsSecondLookup) {
    fs::create_directories(folder_);
    Touch(folder_ / "Alpha.txt");
    const struct {
        const char* lookedUp;
        std::optional<std::string> expected;
        std::size_t held;
    } lookups[] = {
        {"ALPHA.TXT", "Alpha.txt", 0},  // read without a watch
        {"beta.txt", {}, 1},            // looked in again: watched and remembered
        {"alpha.TXT", "Alpha.txt", 1},
    };
    for (const auto& lookup : lookups) {
        SCOPED_TRACE(lookup.lookedUp);
        EXPECT_EQ(Find(lookup.lookedUp), lookup.expected);
        EXPECT_EQ(listings_.HeldCount(), lookup.held);
    }
}

TEST_F(FolderListingsTest, AgreesWithReadingTheFolderAfterRandomChanges) {
    // Spellings of a few names; every step changes one of them on the host and
    // then every name is looked up both ways.
    const char* spellings[] = {"a.txt", "A.txt", "A.TXT", "b", "B", "\xC3\xA4.t", "\xC3\x84.T"};
    const char* lookups[] = {"a.txt", "B", "\xE4.t", "c"};
    fs::create_directories(folder_);
    std::mt19937 random(1234);
    for (int step = 0; step < 300; ++step) {
        const fs::path name = folder_ / spellings[random() % std::size(spellings)];
        switch (random() % 4) {
            case 0:
                Touch(name);
                break;
            case 1:
                fs::remove(name);
                break;
            case 2:
                if (fs::exists(name)) {
                    fs::rename(name, folder_ / spellings[random() % std::size(spellings)]);
                }
                break;
            default:
                if (random() % 20 == 0) {  // now and then a new folder in its place
                    fs::remove_all(folder_);
                    fs::create_directory(folder_);
                }
                break;
        }
        for (const char* lookup : lookups) {
            ASSERT_EQ(Find(lookup), ScanFolderFolded(folder_, lookup))
                << "step " << step << ", " << lookup;
        }
    }
    EXPECT_EQ(listings_.HeldCount(), 1u);  // answered from the remembered listing
}

}  // namespace
}  // namespace setup::platform::posix
