#include <gtest/gtest.h>

#include <string>

#include "InfoZip.h"
#include "TestInputs.h"
#include "support/zipenc/Crc32.h"
#include "support/zipenc/ZipEntries.h"
#include "support/zipenc/ZipWriter.h"

namespace setup::zipenc::testing {
namespace {

std::uint32_t U16At(const Bytes& bytes, std::size_t offset) {
    return bytes.at(offset) | static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8;
}
std::uint32_t U32At(const Bytes& bytes, std::size_t offset) {
    return U16At(bytes, offset) | U16At(bytes, offset + 2) << 16;
}

TEST(ZipWriter, EmptyArchiveIsTheEndRecordWithItsComment) {
    ZipWriter writer;
    Bytes expected = {0x50, 0x4B, 0x05, 0x06};
    expected.resize(22, 0);
    EXPECT_EQ(writer.Finish(), expected);

    writer.SetComment("Hallo");
    expected[20] = 5;
    expected.insert(expected.end(), {'H', 'a', 'l', 'l', 'o'});
    EXPECT_EQ(writer.Finish(), expected);
}

struct DescriptorCase {
    const char* label;
    DataDescriptor descriptor;
    std::size_t descriptorSize;
};

const DescriptorCase kDescriptorCases[] = {
    {"none", DataDescriptor::None, 0},
    {"with signature", DataDescriptor::WithSignature, 16},
    {"without signature", DataDescriptor::WithoutSignature, 12},
};

TEST(ZipWriter, DataDescriptorMovesCrcAndSizesBehindTheData) {
    const Bytes plain = TextBytes("Setup kopiert Setup kopiert Setup kopiert");
    for (const DescriptorCase& c : kDescriptorCases) {
        SCOPED_TRACE(c.label);
        ZipEntry entry = ShrunkEntry("A.TXT", plain);
        entry.descriptor = c.descriptor;
        const std::uint32_t compressedSize = static_cast<std::uint32_t>(entry.data.size());
        ZipWriter writer;
        writer.Add(entry);
        ZipLayout layout;
        const Bytes archive = writer.Finish(&layout);
        const bool deferred = c.descriptor != DataDescriptor::None;

        const std::size_t local = layout.localHeaderOffsets.at(0);
        EXPECT_EQ(U32At(archive, local), 0x04034B50u);
        EXPECT_EQ(U16At(archive, local + 6), deferred ? 8u : 0u);  // flags
        EXPECT_EQ(U16At(archive, local + 8), 1u);                  // method
        EXPECT_EQ(U32At(archive, local + 14), deferred ? 0 : Crc32(plain));
        EXPECT_EQ(U32At(archive, local + 18), deferred ? 0 : compressedSize);
        EXPECT_EQ(U32At(archive, local + 22), deferred ? 0 : plain.size());
        EXPECT_EQ(layout.dataOffsets.at(0), local + 30 + 5);

        std::size_t after = layout.dataOffsets.at(0) + compressedSize;
        EXPECT_EQ(layout.centralDirectoryOffset, after + c.descriptorSize);
        if (c.descriptor == DataDescriptor::WithSignature) {
            EXPECT_EQ(U32At(archive, after), 0x08074B50u);
            after += 4;
        }
        if (deferred) {
            EXPECT_EQ(U32At(archive, after), Crc32(plain));
            EXPECT_EQ(U32At(archive, after + 4), compressedSize);
            EXPECT_EQ(U32At(archive, after + 8), plain.size());
        }

        // The central directory always has the real values.
        const std::size_t central = layout.centralDirectoryOffset;
        EXPECT_EQ(U32At(archive, central), 0x02014B50u);
        EXPECT_EQ(U16At(archive, central + 8), deferred ? 8u : 0u);
        EXPECT_EQ(U32At(archive, central + 16), Crc32(plain));
        EXPECT_EQ(U32At(archive, central + 20), compressedSize);
        EXPECT_EQ(U32At(archive, central + 24), plain.size());
        EXPECT_EQ(U32At(archive, central + 42), local);
        EXPECT_EQ(U32At(archive, layout.endRecordOffset + 16), central);
    }
}

TEST(ZipWriter, InfoZipSeesNamesMethodsTimesAttributesAndComment) {
    if (!InfoZipAvailable()) {
        GTEST_SKIP() << kUnzip << " is not installed";
    }
    const Bytes plain = TextBytes("abcabcabcabcabcabc");
    ZipWriter writer;
    ZipEntry unixEntry = ShrunkEntry("UNTER/UNIX.TXT", plain);
    unixEntry.hostSystem = kHostUnix;
    unixEntry.externalAttributes = 0100640u << 16;
    unixEntry.dosDate = (21 << 9) | (2 << 5) | 3;  // 2001-02-03
    unixEntry.dosTime = (4 << 11) | (5 << 5) | 3;  // 04:05:06
    writer.Add(unixEntry);
    ZipEntry dosEntry = ImplodedEntry("DOS.TXT", plain, {.literalTree = false});
    dosEntry.externalAttributes = 0x01;  // read-only
    writer.Add(dosEntry);
    writer.Add(ImplodedEntry("BAUM.TXT", plain, {.largeDictionary = true, .literalTree = true}));
    writer.Add(StoredEntry("LEER.TXT", {}));
    writer.SetComment("Setup-Archiv");

    ScratchFolder folder;
    const auto archive = folder.Write("info.zip", writer.Finish());
    const std::string listing =
        RunCommand(std::string(kUnzip) + " -Z '" + archive.string() + "'").Text();
    // zipinfo's short form: attributes, version made by, host, size, "b-" (binary,
    // no extra field), method ("i4:2": 4 KB dictionary, two trees), date, name.
    const char* const expectedLines[] = {
        "-rw-r-----  2.0 unx       18 b- shrk 01-Feb-03 04:05 UNTER/UNIX.TXT",
        "-r-----     2.0 fat       18 b- i4:2 80-Jan-01 00:00 DOS.TXT",
        "-rw----     2.0 fat       18 b- i8:3 80-Jan-01 00:00 BAUM.TXT",
        "-rw----     2.0 fat        0 b- stor 80-Jan-01 00:00 LEER.TXT",
    };
    for (const char* line : expectedLines) {
        EXPECT_NE(listing.find(line), std::string::npos) << line << "\n" << listing;
    }
    const std::string comment =
        RunCommand(std::string(kUnzip) + " -z '" + archive.string() + "'").Text();
    EXPECT_NE(comment.find("Setup-Archiv"), std::string::npos) << comment;
}

}  // namespace
}  // namespace setup::zipenc::testing
