// What the file functions must do alike on Windows and in the emulation: names,
// attributes, times, copying, moving and removing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "contract/ContractHelpers.h"
#include "contract/FileSystemContract.h"
#include "contract/ProgramFiles.h"
#include "platform/TemporaryBeside.h"
#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

TEST_F(FileSystemContract, FindFirstMatchesLikeTheSystemSearch) {
    Write("Alpha.txt", "a");
    Write("beta.TXT", "bb");
    Write("Gamma.dat", "ccc");
    ASSERT_TRUE(Files().CreateFolder(Path("Sub")));
    Write("Sub\\Inner.txt", "x");

    struct Case {
        const char* pattern;
        std::vector<std::string> anyOf;  // empty: nothing found
        bool folder;
    };
    const Case cases[] = {
        {"Alpha.txt", {"Alpha.txt"}, false},
        {"ALPHA.TXT", {"Alpha.txt"}, false},  // found without regard to case, named as stored
        {"*.dat", {"Gamma.dat"}, false},
        {"?eta.txt", {"beta.TXT"}, false},
        {"G*", {"Gamma.dat"}, false},
        {"*.txt", {"Alpha.txt", "beta.TXT"}, false},  // which one comes first is not fixed
        {"sub", {"Sub"}, true},
        {"S?b", {"Sub"}, true},
        {"*", {"."}, true},  // a folder's search starts with its "." entry
        {"Sub\\i*.TXT", {"Inner.txt"}, false},
        {"Sub\\Inner.txt", {"Inner.txt"}, false},  // spelled as stored, below a folder
        {"SUB\\inner.TXT", {"Inner.txt"}, false},  // both names in another case
        {"Sub\\*", {"."}, true},
        {"Delta.txt", {}, false},
        {"x*", {}, false},
        {"Alpha.txt\\", {}, false},  // a file is no folder
        {"Fehlt\\*", {}, false},     // nor is a missing name
        {"Sub\\", {}, false},        // a search needs a name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        auto found = Files().FindFirst(Path(c.pattern));
        if (c.anyOf.empty()) {
            EXPECT_FALSE(found.has_value()) << found->name;
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_NE(std::find(c.anyOf.begin(), c.anyOf.end(), found->name), c.anyOf.end())
            << found->name;
        EXPECT_EQ(found->IsFolder(), c.folder);
    }
    auto beta = Files().FindFirst(Path("beta.txt"));
    ASSERT_TRUE(beta.has_value());
    EXPECT_EQ(beta->size, 2u);
}

TEST_F(FileSystemContract, AttributesRoundTrip) {
    Write("Alpha.txt", "a");
    ASSERT_TRUE(Files().CreateFolder(Path("Sub")));
    EXPECT_EQ(Files().GetAttributes(Path("Fehlt.txt")), attr::kInvalid);
    EXPECT_NE(Files().GetAttributes(Path("Sub")) & attr::kDirectory, 0u);
    EXPECT_EQ(Files().GetAttributes(Path("Alpha.txt")) & attr::kDirectory, 0u);
    EXPECT_FALSE(Files().SetAttributes(Path("Fehlt.txt"), attr::kNormal));

    struct Case {
        std::uint32_t set;
        std::uint32_t mustHave;
        std::uint32_t mustLack;
    };
    constexpr std::uint32_t kSpecial = attr::kReadOnly | attr::kHidden | attr::kSystem;
    const Case cases[] = {
        {attr::kReadOnly, attr::kReadOnly, attr::kHidden | attr::kSystem},
        {attr::kHidden | attr::kSystem, attr::kHidden | attr::kSystem, attr::kReadOnly},
        {attr::kArchive | attr::kReadOnly, attr::kArchive | attr::kReadOnly, attr::kHidden},
        {attr::kArchive, attr::kArchive, kSpecial},
        {attr::kNormal, 0, kSpecial},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        ASSERT_TRUE(Files().SetAttributes(Path("Alpha.txt"), c.set));
        const std::uint32_t got = Files().GetAttributes(Path("Alpha.txt"));
        EXPECT_EQ(got & c.mustHave, c.mustHave) << std::hex << got;
        EXPECT_EQ(got & c.mustLack, 0u) << std::hex << got;
        auto found = Files().FindFirst(Path("alpha.txt"));
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->attributes, got);
    }
}

TEST_F(FileSystemContract, DosTimesRoundTripWithinTheirRange) {
    Write("Alpha.txt", "a");
    const std::uint32_t times[] = {
        Dos(1980, 1, 1, 0, 0, 0),  // the first moment the format can hold
        Dos(1999, 12, 31, 23, 59, 58), Dos(2000, 2, 29, 12, 0, 2),
        Dos(2024, 7, 15, 8, 30, 44),   Dos(2107, 12, 31, 23, 59, 58),  // the last
    };
    for (std::uint32_t dos : times) {
        SCOPED_TRACE(dos);
        ASSERT_TRUE(Files().SetLastWriteDos(Path("Alpha.txt"), dos));
        EXPECT_EQ(DosTimeOf("Alpha.txt"), dos);
    }
    // Fields out of range are refused.
    for (std::uint32_t invalid : {Dos(2001, 0, 1, 0, 0, 0), Dos(2001, 2, 30, 0, 0, 0),
                                  Dos(2001, 1, 1, 24, 0, 0), Dos(2001, 1, 1, 0, 60, 0)}) {
        EXPECT_FALSE(Files().SetLastWriteDos(Path("Alpha.txt"), invalid)) << invalid;
    }
    EXPECT_FALSE(Files().SetLastWriteDos(Path("Fehlt.txt"), times[1]));

    // Through an open file: a time set while writing is the one the closed file has.
    for (std::uint32_t dos : {times[0], times[3], times[4]}) {
        SCOPED_TRACE(dos);
        auto file = Files().Open(Path("Neu.txt"), OpenMode::CreateWrite);
        ASSERT_NE(file, nullptr);
        const std::uint8_t byte = 'x';
        ASSERT_EQ(file->Write(std::span(&byte, 1)), 1);
        ASSERT_TRUE(file->SetLastWriteDos(dos));
        EXPECT_FALSE(file->SetLastWriteDos(Dos(2001, 2, 30, 0, 0, 0)));
        ASSERT_TRUE(file->Close());
        EXPECT_EQ(DosTimeOf("Neu.txt"), dos);
    }
}

TEST_F(FileSystemContract, DosTimeExistsOnlyFrom1980To2107) {
    // File times in UTC, a day away from the limits so that no time zone moves them
    // across: 100-ns ticks since 1601.
    constexpr std::uint64_t kTicksPerDay = 864'000'000'000;
    constexpr std::uint64_t k1980 = 119'600'064'000'000'000;  // 1980-01-01 00:00 UTC
    constexpr std::uint64_t k2108 = 159'992'928'000'000'000;  // 2108-01-01 00:00 UTC
    EXPECT_FALSE(Files().ToLocalDosDateTime(0).has_value());
    EXPECT_FALSE(Files().ToLocalDosDateTime(k1980 - kTicksPerDay).has_value());
    EXPECT_TRUE(Files().ToLocalDosDateTime(k1980 + kTicksPerDay).has_value());
    EXPECT_TRUE(Files().ToLocalDosDateTime(k2108 - kTicksPerDay).has_value());
    EXPECT_FALSE(Files().ToLocalDosDateTime(k2108 + kTicksPerDay).has_value());
    // Seconds round down to even.
    auto odd = Files().ToLocalDosDateTime(k1980 + kTicksPerDay + 3 * 10'000'000 + 9'999'999);
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(*odd & 0x1F, 1u);
}

TEST_F(FileSystemContract, CopyFileKeepsTimeAndAttributesAndHonoursFailIfExists) {
    Write("Alpha.txt", "Quelle");
    const std::uint32_t when = Dos(2003, 4, 5, 6, 7, 8);
    ASSERT_TRUE(Files().SetLastWriteDos(Path("Alpha.txt"), when));
    ASSERT_TRUE(Files().SetAttributes(Path("Alpha.txt"), attr::kReadOnly | attr::kHidden));

    struct Case {
        const char* target;
        const char* before;  // nullptr: no target yet
        bool failIfExists;
        bool succeeds;
        const char* after;
    };
    const Case cases[] = {
        {"Kopie.txt", nullptr, true, true, "Quelle"},
        {"Neu.txt", nullptr, false, true, "Quelle"},
        {"Ziel.txt", "alt", true, false, "alt"},
        {"Ziel.txt", "alt", false, true, "Quelle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + (c.failIfExists ? " failIfExists" : ""));
        if (c.before != nullptr) {
            Files().SetAttributes(Path(c.target), attr::kNormal);
            Write(c.target, c.before);
        }
        EXPECT_EQ(Files().CopyFile(Path("alpha.txt"), Path(c.target), c.failIfExists), c.succeeds);
        // (ReadBytes opens for reading only, which a read-only file allows.)
        EXPECT_EQ(Read(c.target), c.after);
        if (c.succeeds) {
            EXPECT_EQ(DosTimeOf(c.target), when);
        }
        // A new copy takes the source's attributes; what a replaced target keeps
        // differs between systems (Wine keeps the target's own).
        if (c.succeeds && c.before == nullptr) {
            const std::uint32_t got = Files().GetAttributes(Path(c.target));
            EXPECT_EQ(got & (attr::kReadOnly | attr::kHidden), attr::kReadOnly | attr::kHidden)
                << std::hex << got;
        }
    }
    EXPECT_FALSE(Files().CopyFile(Path("Fehlt.txt"), Path("Neu2.txt"), false));
    EXPECT_FALSE(Files().CopyFile(Path("Alpha.txt"), Path("Fehlt\\Neu.txt"), false));
}

TEST_F(FileSystemContract, DeleteFileRefusesReadOnlyFilesAndFolders) {
    Write("Alpha.txt", "a");
    Write("Neu.txt", "b");
    ASSERT_TRUE(Files().CreateFolder(Path("Sub")));
    ASSERT_TRUE(Files().SetAttributes(Path("Alpha.txt"), attr::kReadOnly));

    EXPECT_FALSE(Files().DeleteFile(Path("Alpha.txt")));
    EXPECT_EQ(Read("Alpha.txt"), "a");
    EXPECT_FALSE(Files().DeleteFile(Path("Sub")));
    EXPECT_FALSE(Files().DeleteFile(Path("Fehlt.txt")));
    EXPECT_TRUE(Files().DeleteFile(Path("NEU.TXT")));
    EXPECT_EQ(Files().GetAttributes(Path("Neu.txt")), attr::kInvalid);
    ASSERT_TRUE(Files().SetAttributes(Path("Alpha.txt"), attr::kNormal));
    EXPECT_TRUE(Files().DeleteFile(Path("Alpha.txt")));
}

TEST_F(FileSystemContract, CreateFolderMakesOneLevel) {
    Write("Alpha.txt", "a");
    struct Case {
        const char* name;
        bool succeeds;
    };
    const Case cases[] = {
        {"Neu", true},
        {"NEU", false},           // exists already
        {"Neu\\Unter\\", true},   // a trailing backslash is allowed
        {"Fehlt\\Unter", false},  // parent missing
        {"Alpha.txt", false},     // a file has the name
        {"Alpha.txt\\Unter", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Files().CreateFolder(Path(c.name)), c.succeeds) << c.name;
    }
    EXPECT_NE(Files().GetAttributes(Path("Neu\\Unter")) & attr::kDirectory, 0u);
}

TEST_F(FileSystemContract, RemoveFolderTakesOnlyEmptyFoldersAndListFolderNamesTheRest) {
    ASSERT_TRUE(Files().CreateFolder(Path("Voll")));
    ASSERT_TRUE(Files().CreateFolder(Path("Voll\\Leer")));
    ASSERT_TRUE(Files().CreateFolder(Path("Voll\\Unter")));
    Write("Voll\\Unter\\Datei.txt", "x");
    Write("Voll\\b.txt", "bb");

    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : Files().ListFolder(Path("voll"))) {
        names.push_back(entry.name + (entry.IsFolder() ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Leer\\", "Unter\\", "b.txt"}));
    EXPECT_TRUE(Files().ListFolder(Path("Voll\\Leer\\")).empty());
    EXPECT_TRUE(Files().ListFolder(Path("Fehlt")).empty());
    EXPECT_TRUE(Files().ListFolder(Path("Voll\\b.txt")).empty());

    struct Case {
        const char* name;
        bool succeeds;
    };
    const Case cases[] = {
        {"Voll", false},         // not empty
        {"Voll\\Unter", false},  // not empty either
        {"Voll\\b.txt", false},  // a file is no folder
        {"Fehlt", false},        // missing
        {"VOLL\\LEER\\", true},  // empty; any case, trailing backslash allowed
        {"Voll\\Leer", false},   // gone now
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Files().RemoveFolder(Path(c.name)), c.succeeds) << c.name;
    }
    EXPECT_EQ(Read("Voll\\b.txt"), "bb");
    ASSERT_TRUE(Files().DeleteFile(Path("Voll\\Unter\\Datei.txt")));
    EXPECT_TRUE(Files().RemoveFolder(Path("Voll\\Unter")));
    ASSERT_TRUE(Files().DeleteFile(Path("Voll\\b.txt")));
    EXPECT_TRUE(Files().RemoveFolder(Path("Voll")));
    EXPECT_EQ(Files().GetAttributes(Path("Voll")), attr::kInvalid);
}

TEST_F(FileSystemContract, DeleteWhenUnusedDeletesAFreeFileAtOnce) {
    Write("Neu.txt", "b");
    EXPECT_TRUE(Files().DeleteWhenUnused(Path("Neu.txt")));
    EXPECT_EQ(Files().GetAttributes(Path("Neu.txt")), attr::kInvalid);
}

TEST_F(FileSystemContract, MoveFileRenamesAndReplacesOnlyWhenAsked) {
    struct Case {
        const char* target;
        const char* before;  // nullptr: no target yet
        bool replace;
        bool succeeds;
    };
    const Case cases[] = {
        {"Neu.txt", nullptr, false, true},
        {"Ziel.txt", "alt", false, false},
        {"Ziel.txt", "alt", true, true},
        {"Sub\\Neu.txt", nullptr, false, true},  // into another folder
    };
    ASSERT_TRUE(Files().CreateFolder(Path("Sub")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        Write("Alpha.txt", "Quelle");
        if (c.before != nullptr) {
            Write(c.target, c.before);
        }
        EXPECT_EQ(Files().MoveFile(Path("Alpha.txt"), Path(c.target), c.replace), c.succeeds);
        EXPECT_EQ(Read(c.target), c.succeeds ? "Quelle" : c.before);
        EXPECT_EQ(Files().GetAttributes(Path("Alpha.txt")) == attr::kInvalid, c.succeeds);
        Files().DeleteFile(Path(c.target));
        Files().DeleteFile(Path("Alpha.txt"));
    }
    // Folders move too.
    EXPECT_TRUE(Files().MoveFile(Path("Sub"), Path("Anders"), false));
    EXPECT_NE(Files().GetAttributes(Path("Anders")) & attr::kDirectory, 0u);
    EXPECT_FALSE(Files().MoveFile(Path("Fehlt.txt"), Path("Neu.txt"), true));
}

// Writing beside, then replacing (the uninstall log's way of writing): what can't be
// replaced stays as it was, and no temporary file is left beside it.
TEST_F(FileSystemContract, WriteFileReplacingLeavesTheOldFileWhenItFails) {
    struct Case {
        const char* target;
        const char* before;  // nullptr: no target yet
        std::uint32_t attributes;
        bool succeeds;
    };
    const Case cases[] = {
        {"Neu.txt", nullptr, attr::kNormal, true},
        {"Ziel.txt", "alt", attr::kNormal, true},
        {"Ziel.txt", "alt", attr::kReadOnly, false},
        {"Sub", nullptr, attr::kNormal, false},  // a folder
        {"Fehlt\\Neu.txt", nullptr, attr::kNormal, false},
    };
    ASSERT_TRUE(Files().CreateFolder(Path("Sub")));
    const std::string_view bytes = "neu\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        if (c.before != nullptr) {
            Write(c.target, c.before);
            ASSERT_TRUE(Files().SetAttributes(Path(c.target), c.attributes));
        }
        EXPECT_EQ(platform::WriteFileReplacing(
                      Files(), Path(c.target),
                      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())),
                  c.succeeds);
        if (c.succeeds) {
            EXPECT_EQ(Read(c.target), bytes);
        } else if (c.before != nullptr) {
            EXPECT_EQ(Read(c.target), c.before);
        }
        EXPECT_FALSE(Files().FindFirst(Path("~new*")).has_value());
        Files().SetAttributes(Path(c.target), attr::kNormal);
        Files().DeleteFile(Path(c.target));
    }
}

// A name spelled in another case names the file as it is after every change
// before the lookup, from the folder's first lookup on (the emulation reads a
// folder once and remembers it only from the second).
TEST_F(FileSystemContract, NamesInAnyCaseFollowEveryChangeBetweenLookups) {
    struct Step {
        const char* what;
        std::function<void()> change;
        const char* read;
        const char* expected;
    };
    const Step steps[] = {
        {"created", [&] { Write("Alpha.txt", "1"); }, "ALPHA.TXT", "1"},
        {"rewritten in another case", [&] { Write("alpha.TXT", "2"); }, "Alpha.Txt", "2"},
        {"renamed", [&] { Files().MoveFile(Path("Alpha.txt"), Path("Beta.txt"), false); },
         "alpha.txt", "<missing>"},
        {"under its new name", [] {}, "BETA.txt", "2"},
        {"deleted", [&] { Files().DeleteFile(Path("beta.TXT")); }, "Beta.txt", "<missing>"},
        {"created again", [&] { Write("beta.txt", "3"); }, "BETA.TXT", "3"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(Read(step.read), step.expected);
    }
}

}  // namespace
}  // namespace setup::testing
