// What the file functions must do alike on Windows and in the emulation: reading
// and writing, relative paths, device names, drive types and version resources.
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

TEST_F(FileSystemContract, ReadsAnywhereInALargeFileGiveItsBytes) {
    // Small and large reads, forwards and back, across 64 KB boundaries and past the
    // end, as an archive's reader makes them.
    std::string bytes(200'000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7919) >> 5);
    }
    const std::string path = Path("Gross.bin");
    ASSERT_TRUE(WriteBytes(Files(), path, bytes));
    auto file = Files().Open(path, OpenMode::Read);
    ASSERT_NE(file, nullptr);
    const struct {
        std::int64_t seek;  // -1: none
        std::size_t count;
    } steps[] = {{100, 30},       {-1, 4096},        {65'530, 30},     {-1, 4096},    {10, 20},
                 {-1, 40'000},    {-1, 30},          {131'000, 1'000}, {199'990, 30}, {-1, 8},
                 {199'000, 4096}, {150'000, 50'000}, {0, 200'001}};
    std::string buffer(200'001, '\0');
    std::size_t position = 0;
    for (const auto& step : steps) {
        if (step.seek >= 0) {
            ASSERT_TRUE(file->Seek(static_cast<std::uint64_t>(step.seek)));
            position = static_cast<std::size_t>(step.seek);
        }
        const std::size_t expected = std::min(step.count, bytes.size() - position);
        const auto got =
            file->Read(std::span(reinterpret_cast<std::uint8_t*>(buffer.data()), step.count));
        ASSERT_EQ(got, static_cast<std::int64_t>(expected)) << "at " << position;
        EXPECT_EQ(buffer.substr(0, expected), bytes.substr(position, expected))
            << "at " << position;
        position += expected;
    }
}

TEST_F(FileSystemContract, AttributesSetOnAnOpenFileAreWhatItsNameReports) {
    // Where the system can't set them on the handle, the call says so and changes
    // nothing; the file keeps what a new file has.
    const struct {
        std::uint32_t set;
        std::uint32_t reported;
    } cases[] = {{0, attr::kNormal},
                 {attr::kHidden | attr::kArchive, attr::kHidden | attr::kArchive},
                 {attr::kReadOnly | attr::kSystem, attr::kReadOnly | attr::kSystem}};
    for (const auto& c : cases) {
        const std::string path = Path("Griff.txt");
        auto file = Files().Open(path, OpenMode::CreateNew);
        ASSERT_NE(file, nullptr);
        const std::uint32_t fresh = Files().GetAttributes(path);
        const std::uint8_t byte = 'x';
        const bool set = file->SetAttributes(c.set);
        EXPECT_EQ(file->Write(std::span(&byte, 1)), 1) << c.set;  // still writable
        EXPECT_TRUE(file->Close());
        EXPECT_EQ(Files().GetAttributes(path), set ? c.reported : fresh) << c.set;
        ASSERT_TRUE(Files().SetAttributes(path, attr::kNormal));
        ASSERT_TRUE(Files().DeleteFile(path));
    }
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
