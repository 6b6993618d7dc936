// What the file functions must do alike on Windows and in the emulation.
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
#include "contract/ProgramFiles.h"
#include "platform/TemporaryBeside.h"
#include "support/TestEnvironment.h"

namespace setup::testing {
namespace {

namespace attr = platform::attr;
using platform::OpenMode;

constexpr std::uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour,
                            unsigned minute, unsigned second) {
    return (((year - 1980) << 9 | month << 5 | day) << 16) |
           (hour << 11 | minute << 5 | second / 2);
}

class FileSystemContract : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = MakeTestEnvironment();
        dir_ = env_->ScratchFolder();
    }
    void TearDown() override {
        // Read-only files would keep a Windows scratch folder from being removed.
        for (const char* name : {"Alpha.txt", "Ziel.txt", "Kopie.txt", "Neu.txt"}) {
            Files().SetAttributes(dir_ + name, attr::kNormal);
        }
    }
    platform::FileSystem& Files() { return env_->Os().Files(); }
    std::string Path(std::string_view name) { return dir_ + std::string(name); }
    void Write(std::string_view name, std::string_view bytes) {
        ASSERT_TRUE(WriteBytes(Files(), Path(name), bytes)) << name;
    }
    std::string Read(std::string_view name) { return ReadBytes(Files(), Path(name)); }
    std::optional<std::uint32_t> DosTimeOf(std::string_view name) {
        auto found = Files().FindFirst(Path(name));
        return found ? Files().ToLocalDosDateTime(found->lastWrite) : std::nullopt;
    }

    std::unique_ptr<TestEnvironment> env_;
    std::string dir_;
};

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

TEST_F(FileSystemContract, FilesReadWriteSeekAndSize) {
    const std::string path = Path("Daten.bin");
    {
        auto file = Files().Open(path, OpenMode::CreateWrite);
        ASSERT_NE(file, nullptr);
        const std::string text = "Hallo Welt!";
        EXPECT_EQ(
            file->Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())),
            11);
        EXPECT_EQ(file->Size(), 11);
        EXPECT_TRUE(file->Close());
    }
    {
        auto file = Files().Open(path, OpenMode::Read);
        ASSERT_NE(file, nullptr);
        std::uint8_t buffer[16] = {};
        ASSERT_TRUE(file->Seek(6));
        EXPECT_EQ(file->Read(std::span(buffer, 4)), 4);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "Welt");
        EXPECT_EQ(file->Read(std::span(buffer, sizeof(buffer))), 1);  // only "!" is left
        EXPECT_EQ(file->Read(std::span(buffer, sizeof(buffer))), 0);
        // Back and forth: each read goes on where the seek or the last read left.
        const struct {
            std::int64_t seek;  // -1: none
            std::size_t count;
            std::string_view expected;
        } steps[] = {{0, 5, "Hallo"}, {-1, 3, " We"}, {9, 4, "t!"}, {1, 3, "all"}, {-1, 2, "o "}};
        for (const auto& step : steps) {
            if (step.seek >= 0) {
                ASSERT_TRUE(file->Seek(static_cast<std::uint64_t>(step.seek)));
            }
            const auto count = file->Read(std::span(buffer, step.count));
            EXPECT_EQ(std::string_view(reinterpret_cast<char*>(buffer),
                                       static_cast<std::size_t>(std::max<std::int64_t>(count, 0))),
                      step.expected);
        }
    }
    {
        auto file = Files().Open(path, OpenMode::ReadWrite);
        ASSERT_NE(file, nullptr);
        const std::uint8_t j = 'W';
        ASSERT_TRUE(file->Seek(0));
        EXPECT_EQ(file->Write(std::span(&j, 1)), 1);
        std::uint8_t next[4] = {};  // the write moved the position on
        EXPECT_EQ(file->Read(next), 4);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(next), 4), "allo");
    }
    EXPECT_EQ(ReadBytes(Files(), path), "Wallo Welt!");
    {
        auto file = Files().Open(path, OpenMode::CreateWrite);  // truncates
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Size(), 0);
    }
    EXPECT_EQ(Files().Open(Path("Fehlt.bin"), OpenMode::Read), nullptr);
    EXPECT_EQ(Files().Open(Path("Fehlt.bin"), OpenMode::ReadWrite), nullptr);
    EXPECT_EQ(Files().Open(Path("Fehlt\\Neu.bin"), OpenMode::CreateWrite), nullptr);
    // CreateNew takes only a free name, in any spelling.
    EXPECT_EQ(Files().Open(path, OpenMode::CreateNew), nullptr);
    EXPECT_EQ(Files().Open(Path("DATEN.BIN"), OpenMode::CreateNew), nullptr);
    EXPECT_EQ(Files().Open(Path("Fehlt\\Neu.bin"), OpenMode::CreateNew), nullptr);
    {
        auto file = Files().Open(Path("Neu.bin"), OpenMode::CreateNew);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Size(), 0);
    }
    EXPECT_NE(Files().GetAttributes(Path("Neu.bin")), attr::kInvalid);
    ASSERT_TRUE(Files().CreateFolder(Path("Sub")));
    EXPECT_EQ(Files().Open(Path("Sub"), OpenMode::Read), nullptr);
}

TEST_F(FileSystemContract, CurrentFolderResolvesRelativePaths) {
    Write("Alpha.txt", "a");
    const std::string before = Files().GetCurrentFolder();
    ASSERT_TRUE(Files().SetCurrentFolder(dir_));
    // Without its trailing backslash, spelled as it was set.
    EXPECT_EQ(Files().GetCurrentFolder(), dir_.substr(0, dir_.size() - 1));
    auto found = Files().FindFirst("alpha.txt");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->name, "Alpha.txt");
    EXPECT_TRUE(Files().CreateFolder("Relativ"));
    EXPECT_NE(Files().GetAttributes(Path("Relativ")) & attr::kDirectory, 0u);

    EXPECT_FALSE(Files().SetCurrentFolder(Path("Fehlt")));
    EXPECT_FALSE(Files().SetCurrentFolder(Path("Alpha.txt")));
    EXPECT_EQ(Files().GetCurrentFolder(), dir_.substr(0, dir_.size() - 1));
    ASSERT_TRUE(Files().SetCurrentFolder(before));
}

template <std::size_t N>
std::string Bytes(const unsigned char (&bytes)[N]) {
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

// The program file with its version resource's fixed part cut off: the length of
// the VS_VERSION_INFO block's value (the word before its key) set to zero.
std::string WithoutFixedPart(std::string program) {
    const std::string key("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
    const std::size_t at = program.find(key);
    if (at != std::string::npos && at >= 4) {
        program[at - 4] = '\0';
        program[at - 3] = '\0';
    }
    return program;
}

TEST_F(FileSystemContract, DeviceNamesAndControlCharactersNeverBecomeEntries) {
    // A device name opens the device (or fails), whatever the letter case or the
    // extension; a control character makes the name invalid. Either way no file or
    // folder of that name appears in the folder.
    struct Case {
        const char* name;
        const char* pattern;  // finds the entry if one was made
    };
    const Case cases[] = {{"NUL", "N*"},     {"nul.txt", "*.txt"},     {"COM1.txt", "*.txt"},
                          {"Lpt9", "L*"},    {"aux.tar.gz", "*.gz"},   {"CON .txt", "*.txt"},
                          {"CONIN$", "C*"},  {"conout$.txt", "*.txt"}, {"bell\a.txt", "*.txt"},
                          {"unit\x1F", "u*"}};
    for (const Case& c : cases) {
        if (auto file = Files().Open(Path(c.name), OpenMode::CreateWrite)) {
            const std::uint8_t data[3] = {1, 2, 3};
            file->Write(data);
            file->Close();
        }
        Files().CreateFolder(Path(c.name));
        EXPECT_FALSE(Files().FindFirst(Path(c.pattern)).has_value()) << c.name;
    }
    for (const char* name : {"bell\a.txt", "unit\x1F", "tab\tname"}) {
        EXPECT_EQ(Files().Open(Path(name), OpenMode::CreateNew), nullptr) << name;
        EXPECT_FALSE(Files().CreateFolder(Path(name))) << name;
        EXPECT_EQ(Files().GetAttributes(Path(name)), attr::kInvalid) << name;
    }
}

// The test systems have a network drive N: (the Wine prefix as tools/wine-env.sh
// prepares it, the emulation as the test environment maps it) and no drive Q:.
TEST_F(FileSystemContract, DriveTypesAreTheSystemsAnswers) {
    using platform::DriveType;
    EXPECT_EQ(Files().DriveTypeOf('C'), DriveType::Fixed);
    EXPECT_EQ(Files().DriveTypeOf('c'), DriveType::Fixed);
    EXPECT_EQ(Files().DriveTypeOf('N'), DriveType::Remote);
    EXPECT_EQ(Files().DriveTypeOf('Q'), DriveType::NoRootDir);
}

TEST_F(FileSystemContract, ReadFileVersionGivesTheFixedVersionInformation) {
    using Version = std::optional<std::array<std::uint16_t, 4>>;
    const std::string versioned = Bytes(kVersionedProgram);
    const std::string damaged = WithoutFixedPart(versioned);
    ASSERT_NE(damaged, versioned);
    Write("Mit.exe", versioned);
    Write("Kaputt.exe", damaged);
    Write("Ohne.exe", Bytes(kUnversionedProgram));
    Write("Text.txt", "Hallo Welt!");

    struct Case {
        const char* name;
        Version version;
    };
    const Case cases[] = {
        {"Mit.exe", Version{{2, 1, 0, 5}}},
        {"MIT.EXE", Version{{2, 1, 0, 5}}},
        {"Kaputt.exe", Version{{0, 0, 0, 0}}},  // version information without its fixed part
        {"Ohne.exe", std::nullopt},
        {"Text.txt", std::nullopt},
        {"Fehlt.exe", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Files().ReadFileVersion(Path(c.name)), c.version);
    }
}

#ifdef _WIN32
// Files the emulation has no counterpart of: the system's own DLL has a version,
// the test program none.
TEST_F(FileSystemContract, ReadFileVersionOfTheSystemsFiles) {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    auto kernel = Files().ReadFileVersion(std::string(path, length) + "\\kernel32.dll");
    ASSERT_TRUE(kernel.has_value());
    EXPECT_NE(*kernel, (std::array<std::uint16_t, 4>{}));

    const DWORD own = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_TRUE(own > 0 && own < MAX_PATH);
    EXPECT_EQ(Files().ReadFileVersion(std::string(path, own)), std::nullopt);
}
#endif

}  // namespace
}  // namespace setup::testing
