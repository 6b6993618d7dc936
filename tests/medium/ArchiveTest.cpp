// The archives `medium build` writes, as the extractor meets them: one entry with
// its time, CRC and sizes in the local header (no data descriptor, no extra
// field), deflated when that is smaller and stored otherwise, a name outside
// ASCII in UTF-8 with flag bit 11; each extracts to the bytes packed.
#include <gtest/gtest.h>

#include <random>

#include "ZipWriter.h"
#include "support/EmulatedWindows.h"
#include "zip/Zip.h"

namespace setup::medium {
namespace {

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

TEST(MediumArchive, OneEntryOnTheSimplestPath) {
    struct Row {
        std::string name;  // Windows-1252
        std::string data;
        std::uint32_t method;
        std::uint32_t flags;
        std::string stored;  // the name as the header holds it
    };
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "Zeile " + std::to_string(i) + " der Datei\r\n";
    }
    const std::vector<Row> rows = {
        {"Handbuch.txt", text, 8, 0, "Handbuch.txt"},
        {"Zufall.bin", RandomBytes(5000), 0, 0, "Zufall.bin"},
        {"Leer.txt", "", 0, 0, "Leer.txt"},
        {"Gr\xFC\xDF"
         "e.txt",
         text, 8, 0x800,
         "Gr\xC3\xBC\xC3\x9F"
         "e.txt"},
    };
    const std::uint32_t time = 0x5A8B6A21;  // 2025-04-11 13:17:02
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Deflater deflater;
        const std::string archive = SingleEntryZip(row.name, time, row.data, deflater);
        ASSERT_EQ(Le(archive, 0, 4), 0x04034B50U);
        EXPECT_EQ(Le(archive, 6, 2), row.flags);  // no bit 3: no data descriptor
        EXPECT_EQ(Le(archive, 8, 2), row.method);
        EXPECT_EQ(Le(archive, 10, 4), time);
        EXPECT_EQ(Le(archive, 22, 4), row.data.size());
        EXPECT_EQ(Le(archive, 26, 2), row.stored.size());
        EXPECT_EQ(Le(archive, 28, 2), 0U);  // no extra field
        EXPECT_EQ(archive.substr(30, row.stored.size()), row.stored);
        const std::uint32_t packed = Le(archive, 18, 4);
        EXPECT_EQ(row.method == 0, packed == row.data.size());

        testing::EmulatedWindows windows;
        windows.WriteFile("D:\\Paket.tx_", archive);
        std::vector<zip::ZipReport> entries;
        ASSERT_EQ(zip::ZipListEntries("D:\\Paket.tx_", "*.*",
                                      [&](std::int32_t, const zip::ZipReport& r) {
                                          if (r.Status != zip::ZipStatusArchiveEnd) {
                                              entries.push_back(r);
                                          }
                                      }),
                  1);
        EXPECT_EQ(entries[0].Name, row.name);
        EXPECT_EQ(static_cast<std::uint32_t>(entries[0].Time), time);
        ASSERT_EQ(zip::ZipExtractFiles("D:\\Paket.tx_", "C:\\Aus\\", "*.*"), 1);
        EXPECT_EQ(windows.ReadFile("C:\\Aus\\" + row.name), row.data);
    }
}

}  // namespace
}  // namespace setup::medium
