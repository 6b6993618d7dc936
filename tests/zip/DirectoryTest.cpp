// The central directory reader over archives in memory: finding the end record
// wherever a comment puts it, the directory checks, and what each entry yields.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "support/zipenc/ZipEntries.h"
#include "zip/MemoryFile.h"
#include "zip/ZipDirectory.h"

namespace setup::zip {
namespace {

std::vector<std::uint8_t> Plain(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> ThreeEntryArchive(const std::string& comment, zipenc::ZipLayout* layout) {
    zipenc::ZipWriter writer;
    auto first = zipenc::StoredEntry("dir/a.txt", Plain("hello"));
    first.externalAttributes = 0x21;
    first.dosTime = 0x1234;
    writer.Add(first);
    auto second = zipenc::StoredEntry("b", Plain("world!"));
    second.hostSystem = zipenc::kHostUnix;
    second.externalAttributes = 0x81A40001;
    second.centralExtra = {1, 2, 3, 4};
    second.comment = "entry comment";
    writer.Add(second);
    writer.Add(zipenc::StoredEntry(std::string(300, 'n'), Plain("")));
    writer.SetComment(comment);
    return writer.Finish(layout);
}

std::int32_t Open(const std::vector<std::uint8_t>& bytes, ZipDirectoryCursor& cursor) {
    return ZipOpenDirectory(std::make_unique<MemoryFile>(bytes), cursor);
}

TEST(ZipDirectory, ReadsEveryEntryWhereverTheEndRecordLies) {
    // Comments move the end record across the 4,096-byte search windows and their overlap.
    for (std::size_t commentLength :
         {0u, 100u, 4000u, 4052u, 4053u, 4074u, 4075u, 4076u, 8150u, 8152u, 12000u, 65535u}) {
        zipenc::ZipLayout layout;
        const auto bytes = ThreeEntryArchive(std::string(commentLength, 'c'), &layout);
        ZipDirectoryCursor cursor;
        ASSERT_EQ(Open(bytes, cursor), 0) << commentLength;
        EXPECT_EQ(cursor.Name, "dir\\a.txt");
        EXPECT_EQ(cursor.Size, 5);
        EXPECT_EQ(cursor.Attributes, 0x21);
        EXPECT_EQ(cursor.Time & 0xFFFF, 0x1234);
        EXPECT_EQ(cursor.HeaderOffset, static_cast<std::int32_t>(layout.localHeaderOffsets[0]));
        ASSERT_EQ(ZipNextEntry(cursor), 0);
        EXPECT_EQ(cursor.Name, "b");
        EXPECT_EQ(cursor.Attributes, 0) << "attributes are taken only from MS-DOS entries";
        EXPECT_EQ(cursor.HeaderOffset, static_cast<std::int32_t>(layout.localHeaderOffsets[1]));
        ASSERT_EQ(ZipNextEntry(cursor), 0);
        EXPECT_EQ(cursor.Name, std::string(300, 'n')) << "names are never cut";
        EXPECT_EQ(ZipNextEntry(cursor), -10);
        EXPECT_FALSE(cursor.IsOpen());
        EXPECT_EQ(ZipNextEntry(cursor), -10);
    }
}

TEST(ZipDirectory, RefusesUnusableArchives) {
    struct Case {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&, const zipenc::ZipLayout&)> damage;
        std::int32_t code;
    };
    auto put32 = [](std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i) {
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    const Case cases[] = {
        {"empty file", [](auto& b, auto&) { b.clear(); }, -11},
        {"shorter than an end record", [](auto& b, auto&) { b.resize(21); }, -11},
        {"no end record", [](auto& b, auto& l) { b[l.endRecordOffset] = 'X'; }, -11},
        {"end record before offset 46",
         [](auto& b, auto& l) {
             b.erase(b.begin(), b.begin() + static_cast<long>(l.endRecordOffset) - 40);
         },
         -9},
        {"directory offset at the end record",
         [&](auto& b, auto& l) {
             put32(b, l.endRecordOffset + 16, static_cast<std::uint32_t>(l.endRecordOffset));
         },
         -9},
        {"directory offset behind the end record",
         [&](auto& b, auto& l) { put32(b, l.endRecordOffset + 16, 0xFFFFFFF0); }, -9},
        {"damaged first central header",
         [](auto& b, auto& l) { b[l.centralDirectoryOffset + 2] = 9; }, -10},
        {"name longer than the directory",
         [](auto& b, auto& l) { b[l.centralDirectoryOffset + 29] = 0xFF; }, -10},
        {"directory offset into the data",
         [&](auto& b, auto& l) {
             put32(b, l.endRecordOffset + 16, static_cast<std::uint32_t>(l.dataOffsets[0]));
         },
         -10},
    };
    for (const Case& c : cases) {
        zipenc::ZipLayout layout;
        auto bytes = ThreeEntryArchive("", &layout);
        c.damage(bytes, layout);
        ZipDirectoryCursor cursor;
        EXPECT_EQ(Open(bytes, cursor), c.code) << c.name;
        EXPECT_FALSE(cursor.IsOpen()) << c.name;
    }
}

TEST(ZipDirectory, ALargeDirectoryIsReadPieceByPiece) {
    // Headers of many lengths straddle the piece boundaries; one is longer than a
    // piece by itself. The archive is moved elsewhere between entries, as an
    // extraction run does with the same handle.
    zipenc::ZipWriter writer;
    std::vector<std::string> names;
    for (int i = 0; i < 1500; ++i) {
        names.push_back(std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), 'x'));
        auto entry = zipenc::StoredEntry(names.back(), Plain(""));
        entry.comment = std::string(static_cast<std::size_t>(i % 13), 'c');
        if (i == 700) {
            entry.centralExtra.assign(65535, 0);
        }
        writer.Add(entry);
    }
    const auto bytes = writer.Finish();
    ZipDirectoryCursor cursor;
    ASSERT_EQ(Open(bytes, cursor), 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(cursor.Name, names[i]);
        ASSERT_LE(cursor.Buffer.capacity(), 46u + 3 * 65535u + kDirectoryPiece);
        cursor.Archive->Seek(0);
        ASSERT_EQ(ZipNextEntry(cursor), i + 1 < names.size() ? 0 : -10) << i;
    }
}

TEST(ZipDirectory, ADamagedLaterHeaderEndsTheScan) {
    zipenc::ZipLayout layout;
    auto bytes = ThreeEntryArchive("", &layout);
    const std::size_t second = layout.centralDirectoryOffset + 46 + 9;  // after "dir/a.txt"
    bytes[second] = 0;
    ZipDirectoryCursor cursor;
    ASSERT_EQ(Open(bytes, cursor), 0);
    EXPECT_EQ(ZipNextEntry(cursor), -10);
    EXPECT_FALSE(cursor.IsOpen());
}

}  // namespace
}  // namespace setup::zip
