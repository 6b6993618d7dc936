// Extraction runs on the emulated Windows: archives made by Info-ZIP zip and by
// Python's zipfile must come out byte for byte or fail with their documented code;
// hostile names, damaged and truncated archives must leave the disk as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/EmulatedWindows.h"
#include "support/zipenc/Crc32.h"
#include "support/zipenc/ZipEntries.h"
#include "zip/Zip.h"
#include "zip/ZipExtract.h"
#include "zip/ZipState.h"

namespace setup::zip {
namespace {

namespace fs = std::filesystem;
using setup::testing::EmulatedWindows;
using setup::testing::TemporaryFolder;

struct Event {
    std::int32_t code;
    std::int32_t status;
    std::string name;
};

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Source files and archives made from them by the host's tools, once per program.
class HostArchives {
  public:
    HostArchives() {
        std::mt19937 random(5);
        std::string text;
        for (int i = 0; text.size() < 150000; ++i) {
            text += "Zeile " + std::to_string(i * 7919 % 1000) + ": Der Installer packt aus.\n";
        }
        std::string binary;
        for (int i = 0; i < 90000; ++i) {
            binary += i % 3 == 0 ? static_cast<char>(random()) : static_cast<char>(i / 100);
        }
        files_ = {{"readme.txt", text},
                  {"sub/deeper/data.bin", binary},
                  {"sub/small.txt", "small small small small small\n"},
                  {"empty.txt", ""}};
        for (const auto& [name, bytes] : files_) {
            WriteHostFile(Source() / name, bytes);
        }
    }
    fs::path Source() const { return folder_.Path() / "src"; }
    const std::map<std::string, std::string>& Files() const { return files_; }

    // Runs `command` in the source folder; it writes ../out.zip. Empty on failure.
    std::string Make(const std::string& command) const {
        const fs::path out = folder_.Path() / "out.zip";
        fs::remove(out);
        const std::string line =
            "cd '" + Source().string() + "' && (" + command + ") >/dev/null 2>&1";
        if (std::system(line.c_str()) != 0) {
            ADD_FAILURE() << "command failed: " << command;
            return {};
        }
        return ReadHostFile(out);
    }

  private:
    TemporaryFolder folder_;
    std::map<std::string, std::string> files_;
};

const HostArchives& Archives() {
    static const HostArchives archives;
    return archives;
}

// Python's zipfile writing to an unseekable stream: every entry with a signed
// data descriptor. `compression` is ZIP_STORED or ZIP_DEFLATED.
std::string PythonStreaming(const std::string& compression) {
    return R"(python3 -c "
import zipfile, io, sys
class Pipe(io.RawIOBase):
    def __init__(self): self.data = bytearray()
    def writable(self): return True
    def write(self, b): self.data += b; return len(b)
pipe = Pipe()
with zipfile.ZipFile(pipe, 'w', zipfile.)" +
           compression + R"() as z:
    for name in ['readme.txt', 'sub/deeper/data.bin', 'sub/small.txt', 'empty.txt']:
        z.write(name)
open('../out.zip', 'wb').write(pipe.data)
")";
}

class ZipExtraction : public ::testing::Test {
  protected:
    // Puts the archive on drive C: (with the "_" ZipIsArchive wants).
    std::string PutArchive(const std::string& bytes, const std::string& name = "test_arc.zip") {
        const std::string path = "C:\\ARC\\" + name;
        windows_.WriteFile(path, bytes);
        return path;
    }
    ZipReportHandler Recorder() {
        return [this](std::int32_t code, const ZipReport& report) {
            events_.push_back({code, report.Status, report.Name});
        };
    }
    // Every regular file under the emulated root, with its content.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(windows_.Root())) {
            if (entry.is_regular_file() && entry.path().filename() != "registry.txt") {
                files[entry.path().string()] = ReadHostFile(entry.path());
            }
        }
        return files;
    }
    void ExpectExtracted(const std::string& folder, const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            std::string windowsName = name;
            for (char& c : windowsName) {
                c = c == '/' ? '\\' : c;
            }
            EXPECT_TRUE(windows_.ReadFile(folder + "\\" + windowsName) ==
                        Archives().Files().at(name))
                << folder << ": " << name;
        }
    }

    EmulatedWindows windows_;
    std::vector<Event> events_;
};

TEST_F(ZipExtraction, ArchivesOfTheHostToolsComeOutByteForByte) {
    struct Case {
        const char* name;
        std::string command;
        std::int32_t entries;               // what the run returns
        const char* readme = "readme.txt";  // the entry that holds readme.txt
    };
    const std::vector<Case> cases = {
        {"stored", "zip -q -r -0 ../out.zip .", 6},
        {"deflate -1", "zip -q -r -1 ../out.zip .", 6},
        {"deflate -6", "zip -q -r -6 ../out.zip .", 6},
        {"deflate -9", "zip -q -r -9 ../out.zip .", 6},
        // Streamed to a pipe: sizes and CRC in data descriptors, taken from the
        // central directory.
        {"to a pipe, deflated",
         "zip -q - readme.txt sub/deeper/data.bin sub/small.txt empty.txt | cat > ../out.zip", 4},
        {"to a pipe, stored",
         "zip -q -0 - readme.txt sub/deeper/data.bin sub/small.txt empty.txt | cat > ../out.zip",
         4},
        {"python, stored",
         "python3 -c \"import zipfile; z = zipfile.ZipFile('../out.zip', 'w'); "
         "[z.write(n) for n in ['readme.txt', 'sub/deeper/data.bin', 'empty.txt']]; z.close()\"",
         3},
        {"python, streaming, deflated", PythonStreaming("ZIP_DEFLATED"), 4},
        {"python, streaming, stored", PythonStreaming("ZIP_STORED"), 4},
        {"with a comment",
         "echo 'Ein Kommentar' > ../c.txt && zip -q -z ../out.zip readme.txt < ../c.txt", 1},
        // Read from standard input (the entry "-"): sizes of 0xFFFFFFFF in the local
        // header, the real ones in its ZIP64 field; streamed on to a pipe, a data
        // descriptor with 8-byte sizes.
        {"from standard input, deflated", "zip -q ../out.zip - < readme.txt", 1, "-"},
        {"from standard input, stored", "zip -q -0 ../out.zip - < readme.txt", 1, "-"},
        {"from standard input to a pipe", "zip -q - - < readme.txt | cat > ../out.zip", 1, "-"},
    };
    int run = 0;
    for (const Case& c : cases) {
        const std::string archive = PutArchive(Archives().Make(c.command));
        const std::string folder = "C:\\OUT" + std::to_string(run++);
        const std::int32_t listed = ZipListEntries(archive, "*.*", Recorder());
        EXPECT_EQ(listed, c.entries) << c.name;
        EXPECT_EQ(ZipExtractWithHandlers(archive, folder, "", Recorder(), nullptr), c.entries)
            << c.name;
        for (const auto& [name, bytes] : Archives().Files()) {
            const std::string windowsPath = folder + "\\" + name;
            if (windows_.Exists(windowsPath)) {
                EXPECT_TRUE(windows_.ReadFile(windowsPath) == bytes) << c.name << ": " << name;
            }
        }
        EXPECT_TRUE(windows_.ReadFile(folder + "\\" + c.readme) ==
                    Archives().Files().at("readme.txt"))
            << c.name;
    }
    for (const char* folder : {"C:\\OUT0", "C:\\OUT4", "C:\\OUT5", "C:\\OUT7", "C:\\OUT8"}) {
        ExpectExtracted(folder, {"sub/deeper/data.bin", "sub/small.txt", "empty.txt"});
    }
}

TEST_F(ZipExtraction, DocumentedFailuresOfToolArchives) {
    // Stored data followed by a descriptor: a run knows its size from the central
    // directory; a single-entry call does not, copies to the end of the archive and
    // fails there (-3), leaving nothing behind.
    std::string archive =
        PutArchive(Archives().Make("zip -q -0 - sub/small.txt | cat > ../out.zip"), "pipe_0.zip");
    EXPECT_EQ(ZipExtractEntry(archive, "C:\\ONE\\small.txt", 0, nullptr, 0), -3);
    EXPECT_FALSE(windows_.Exists("C:\\ONE\\small.txt"));
    EXPECT_EQ(ZipExtractFiles(archive, "C:\\OUT", "*.*"), 1);
    ExpectExtracted("C:\\OUT", {"sub/small.txt"});

    // An encrypted entry is reported (-7 with Status Failed) and ends the run.
    events_.clear();
    archive = PutArchive(Archives().Make("zip -q -P geheim ../out.zip readme.txt sub/small.txt"),
                         "enc_1.zip");
    EXPECT_EQ(ZipExtractWithHandlers(archive, "C:\\OUT", "*.*", Recorder(), nullptr), 0);
    ASSERT_GE(events_.size(), 3u);
    EXPECT_EQ(events_[events_.size() - 2].code, -7);
    EXPECT_EQ(events_[events_.size() - 2].status, ZipStatusFailed);
    EXPECT_EQ(events_.back().status, ZipStatusArchiveEnd);
    EXPECT_FALSE(windows_.Exists("C:\\OUT\\readme.txt"));

    // An archive without entries starts with its end record: not an archive.
    const std::string empty = Archives().Make(
        "python3 -c \"import zipfile; zipfile.ZipFile('../out.zip', 'w').close()\"");
    archive = PutArchive(empty, "empty_2.zip");
    EXPECT_FALSE(ZipIsArchive(archive));
    EXPECT_EQ(ZipListEntries(archive, "*.*", Recorder()), -12);
    EXPECT_EQ(ZipExtractFiles(archive, "C:\\OUT", "*.*"), -12);
    std::int32_t compressed = 0;
    EXPECT_EQ(ZipArchiveSizes(archive, compressed), static_cast<std::int32_t>(empty.size()));
    EXPECT_EQ(compressed, static_cast<std::int32_t>(empty.size()));
}

TEST_F(ZipExtraction, AHugeClaimedDirectoryIsRefusedWithoutReadingIt) {
    // A sparse file of 3 GB: a local header signature, zeros, and an end record
    // whose directory would span the whole file.
    const std::string path = PutArchive(std::string("PK\x03\x04", 4), "huge_.zip");
    const fs::path host = windows_.HostPath(path);
    const std::uint64_t end = 3'000'000'000;
    fs::resize_file(host, end);
    std::string record("PK\x05\x06", 4);
    record.resize(22, '\0');
    record[16] = 4;  // the directory starts right behind the signature
    {
        std::fstream file(host, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(end));
        file.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
    EXPECT_EQ(ZipListEntries(path, "*.*", Recorder()), -9);
    EXPECT_EQ(ZipExtractFiles(path, "C:\\OUT", "*.*"), -9);
    std::int32_t compressed = 0;
    EXPECT_EQ(ZipArchiveSizes(path, compressed), static_cast<std::int32_t>(end + 22));
    EXPECT_FALSE(windows_.Exists("C:\\OUT"));
}

TEST_F(ZipExtraction, ReportProtocolAndNesting) {
    const std::string archive = PutArchive(Archives().Make("zip -q -r ../out.zip sub"));
    const std::int32_t count = ZipExtractWithHandlers(archive, "C:\\X", "*", Recorder(), nullptr);
    EXPECT_EQ(count, 4);  // sub/, sub/deeper/, the .bin and the .txt
    EXPECT_TRUE(windows_.Exists("C:\\X\\SUB\\DEEPER\\data.bin"));
    ExpectExtracted("C:\\X", {"sub/deeper/data.bin", "sub/small.txt"});

    ASSERT_FALSE(events_.empty());
    EXPECT_EQ(events_.front().status, ZipStatusArchiveStart);
    EXPECT_EQ(events_.front().name, archive);
    EXPECT_EQ(events_.back().status, ZipStatusArchiveEnd);
    EXPECT_EQ(events_.back().code, 4);
    std::int32_t starts = 0;
    std::int32_t dones = 0;
    std::int64_t written = 0;
    for (const Event& e : events_) {
        starts += e.status == ZipStatusStart;
        dones += e.status == ZipStatusDone;
        if (e.status == ZipStatusProgress) {
            written += e.code;
        }
    }
    EXPECT_EQ(starts, 4);
    EXPECT_EQ(dones, 4);
    EXPECT_EQ(written,
              static_cast<std::int64_t>(Archives().Files().at("sub/deeper/data.bin").size() +
                                        Archives().Files().at("sub/small.txt").size()));

    // A pattern that matches nothing: only the start and end reports.
    events_.clear();
    EXPECT_EQ(ZipExtractWithHandlers(archive, "C:\\X", "*.none", Recorder(), nullptr), 0);
    ASSERT_EQ(events_.size(), 2u);

    // Listing: one report per matching entry with code 0, then the end with the count.
    events_.clear();
    EXPECT_EQ(ZipListEntries(archive, "*.txt", Recorder()), 1);
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[0].code, 0);
    EXPECT_EQ(events_[0].name, "sub\\small.txt");
    EXPECT_EQ(events_[1].code, 1);
}

std::string OneEntryArchive(const std::string& name, const std::string& content,
                            std::uint32_t attributes = 0x20) {
    zipenc::ZipWriter writer;
    auto entry =
        zipenc::StoredEntry(name, std::vector<std::uint8_t>(content.begin(), content.end()));
    entry.externalAttributes = attributes;
    writer.Add(entry);
    const auto bytes = writer.Finish();
    return {bytes.begin(), bytes.end()};
}

TEST_F(ZipExtraction, DataDescriptorsOfEveryMethod) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "Zeile " + std::to_string(i % 17) + " mit Daten\n";
    }
    const std::vector<std::uint8_t> plain(text.begin(), text.end());
    // A stored block in deflate format: deflated data with an end marker.
    std::vector<std::uint8_t> deflated = {
        1, static_cast<std::uint8_t>(plain.size()), static_cast<std::uint8_t>(plain.size() >> 8),
        static_cast<std::uint8_t>(~plain.size()), static_cast<std::uint8_t>(~plain.size() >> 8)};
    deflated.insert(deflated.end(), plain.begin(), plain.end());
    zipenc::ZipEntry deflate = zipenc::StoredEntry("e.txt", plain);
    deflate.method = 8;
    deflate.data = deflated;
    struct Case {
        const char* name;
        zipenc::ZipEntry entry;
        std::int32_t single;  // ZipExtractEntry without the central directory's values
    };
    const Case cases[] = {
        {"stored", zipenc::StoredEntry("e.txt", plain), -3},
        {"shrunk", zipenc::ShrunkEntry("e.txt", plain), -6},
        {"imploded", zipenc::ImplodedEntry("e.txt", plain), -3},
        {"deflated", deflate, 0},
    };
    // Where the run reads the descriptor's CRC, its compressed size, its size.
    enum Damage { None, Crc, CompressedSize, Size };
    int run = 0;
    for (const Case& c : cases) {
        for (auto descriptor :
             {zipenc::DataDescriptor::WithSignature, zipenc::DataDescriptor::WithoutSignature}) {
            for (Damage damage : {None, Crc, CompressedSize, Size}) {
                const std::string label =
                    std::string(c.name) +
                    (descriptor == zipenc::DataDescriptor::WithSignature ? " signed"
                                                                         : " unsigned") +
                    " damage " + std::to_string(damage);
                zipenc::ZipEntry entry = c.entry;
                entry.descriptor = descriptor;
                zipenc::ZipWriter writer;
                writer.Add(entry);
                zipenc::ZipLayout layout;
                auto bytes = writer.Finish(&layout);
                const std::size_t fields =
                    layout.dataOffsets[0] + entry.data.size() +
                    (descriptor == zipenc::DataDescriptor::WithSignature ? 4 : 0);
                if (damage != None) {
                    bytes[fields + 4 * (static_cast<std::size_t>(damage) - 1)] ^= 0x10;
                }
                const std::string path = PutArchive({bytes.begin(), bytes.end()});
                const std::string folder = "C:\\D" + std::to_string(run++);
                events_.clear();
                const std::int32_t result =
                    ZipExtractWithHandlers(path, folder, "*.*", Recorder(), nullptr);
                if (damage == None) {
                    EXPECT_EQ(result, 1) << label;
                    EXPECT_TRUE(windows_.ReadFile(folder + "\\e.txt") == text) << label;
                    EXPECT_EQ(ZipExtractEntry(path, folder + "\\single.txt", 0, nullptr, 0),
                              c.single)
                        << label;
                    EXPECT_EQ(windows_.Exists(folder + "\\single.txt"), c.single == 0) << label;
                } else {
                    // A disagreeing descriptor: a CRC error (reported, the run
                    // counts nothing) or invalid data (serious); nothing is written.
                    EXPECT_EQ(result, damage == Crc ? 0 : -4) << label;
                    ASSERT_GE(events_.size(), 2u) << label;
                    const Event& failure = events_[events_.size() - (damage == Crc ? 2 : 1)];
                    EXPECT_EQ(failure.code, damage == Crc ? -1 : ZipReportFatal) << label;
                    EXPECT_EQ(failure.status, damage == Crc ? ZipStatusFailed : -4) << label;
                    EXPECT_FALSE(windows_.Exists(folder + "\\e.txt")) << label;
                }
            }
        }
    }
}

TEST_F(ZipExtraction, EmptyEntriesOfEveryMethodAreEmptyFiles) {
    for (const std::uint16_t method :
         {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{6}, std::uint16_t{8}}) {
        zipenc::ZipEntry entry = zipenc::StoredEntry("leer.txt", {});
        entry.method = method;
        zipenc::ZipWriter writer;
        writer.Add(entry);
        const auto bytes = writer.Finish();
        const std::string folder = "C:\\E" + std::to_string(method);
        EXPECT_EQ(ZipExtractFiles(PutArchive({bytes.begin(), bytes.end()}), folder, "*.*"), 1)
            << method;
        EXPECT_TRUE(windows_.Exists(folder + "\\leer.txt")) << method;
        EXPECT_EQ(windows_.ReadFile(folder + "\\leer.txt"), "") << method;
    }
}

// The Unicode Path extra field as Info-ZIP writes it: version 1, the CRC-32 of the
// stored name, the name in UTF-8.
std::vector<std::uint8_t> UnicodePathField(const std::string& stored, const std::string& utf8,
                                           std::uint32_t crcChange = 0) {
    const std::uint32_t crc =
        zipenc::Crc32(std::vector<std::uint8_t>(stored.begin(), stored.end())) ^ crcChange;
    const std::size_t size = 5 + utf8.size();
    std::vector<std::uint8_t> field = {0x75, 0x70, static_cast<std::uint8_t>(size),
                                       static_cast<std::uint8_t>(size >> 8), 1};
    for (int i = 0; i < 4; ++i) {
        field.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
    }
    field.insert(field.end(), utf8.begin(), utf8.end());
    return field;
}

TEST_F(ZipExtraction, Utf8NamesAreListedMatchedAndWrittenIn1252) {
    // Names in UTF-8 as bytes ("Gr\xC3\xB6\xC3\x9F" is "Größe"), and their 1252 form.
    const std::string utf8Name =
        "Ma\xC3\x9F"
        "e/Gr\xC3\xB6\xC3\x9F"
        "e \xE2\x82\xAC.txt";
    const std::string name1252 = "Maße\\Größe €.txt";
    const std::string oem =
        "Gr\x94\xE1"
        "e.txt";  // as PKZIP for DOS stores "Größe.txt"
    const std::string noForm = "\xCE\xA9-\xE6\x97\xA5.txt";  // Greek Omega, a CJK character
    struct Case {
        const char* label;
        std::string stored;
        std::uint16_t flags;
        std::vector<std::uint8_t> extra;
        std::string expected;  // the name listed and written; empty: refused (-4)
    };
    const Case cases[] = {
        {"bit 11", utf8Name, 0x800, {}, name1252},
        {"Unicode Path field", oem, 0,
         UnicodePathField(oem,
                          "Gr\xC3\xB6\xC3\x9F"
                          "e.txt"),
         "Größe.txt"},
        {"field with another name's CRC", oem, 0,
         UnicodePathField(oem,
                          "Gr\xC3\xB6\xC3\x9F"
                          "e.txt",
                          1),
         oem},
        {"OEM name, no flag, no field", oem, 0, {}, oem},
        {"UTF-8 bytes without the flag",
         utf8Name,
         0,
         {},
         "Ma\xC3\x9F"
         "e\\Gr\xC3\xB6\xC3\x9F"
         "e \xE2\x82\xAC.txt"},
        {"bit 11, no 1252 form", noForm, 0x800, {}, ""},
        {"bit 11, not UTF-8",
         "Gr\xF6\xDF"
         "e.txt",
         0x800,
         {},
         ""},
        {"field, no 1252 form", oem, 0, UnicodePathField(oem, noForm), ""},
    };
    int run = 0;
    for (const Case& c : cases) {
        zipenc::ZipEntry entry = zipenc::StoredEntry(c.stored, std::vector<std::uint8_t>{'x'});
        entry.flags = c.flags;
        entry.centralExtra = c.extra;
        zipenc::ZipWriter writer;
        writer.Add(entry);
        const auto bytes = writer.Finish();
        const std::string archive = PutArchive({bytes.begin(), bytes.end()});
        events_.clear();
        EXPECT_EQ(ZipListEntries(archive, "*", Recorder()), 1) << c.label;
        const std::string folder = "C:\\N" + std::to_string(run++);
        if (c.expected.empty()) {
            EXPECT_EQ(ZipExtractFiles(archive, folder, "*"), -4) << c.label;
            EXPECT_FALSE(windows_.Exists(folder)) << c.label;
            continue;
        }
        EXPECT_EQ(events_.front().name, c.expected) << c.label;
        // Patterns see the converted name: "*ß*" is 1252 here.
        EXPECT_EQ(ZipListEntries(archive, "*ß*", Recorder()),
                  c.expected.find('\xDF') != std::string::npos ? 1 : 0)
            << c.label;
        EXPECT_EQ(ZipExtractFiles(archive, folder, "*"), 1) << c.label;
        EXPECT_EQ(windows_.ReadFile(folder + "\\" + c.expected), "x") << c.label;
    }

    // Python marks every name outside ASCII with bit 11.
    const std::string archive = PutArchive(Archives().Make(
        "python3 -c \"import zipfile; z = zipfile.ZipFile('../out.zip', 'w'); "
        "z.writestr('Gr\\u00f6\\u00dfe.txt', 'gross'); z.writestr('\\u03a9.txt', 'omega'); "
        "z.close()\""));
    EXPECT_EQ(ZipExtractFiles(archive, "C:\\PY", "gr*"), 1);
    EXPECT_EQ(windows_.ReadFile("C:\\PY\\Größe.txt"), "gross");
    EXPECT_EQ(ZipExtractFiles(archive, "C:\\PY", "*"), -4);  // the Omega has no 1252 form
}

TEST_F(ZipExtraction, HostileNamesAreRefusedAndNothingIsWritten) {
    using namespace std::string_literals;
    windows_.MakeFolder("C:\\OUT\\INNER");
    const std::string names[] = {
        "../evil.txt", "..\\evil.txt", "/evil.txt", "\\evil.txt", "C:evil.txt", "C:\\evil.txt",
        "sub/../../evil.txt", "sub\\..\\..\\evil.txt", "a/.. /evil.txt", "stream.txt:hidden",
        // What the system sees ends at a NUL: the parent, the target folder itself.
        "..\0/"s, "..\0\\"s, "sub/..\0/"s, "sub\\..\0\\x"s,
        // Devices, in any case, with extensions, anywhere in the path.
        "NUL", "nul", "LPT1", "COM1.txt", "aux.tar.gz", "Con", "prn .txt", "sub/com9/x.txt",
        "lpt\xB9.txt",
        // Control characters.
        "bell\a.txt", "tab\t.txt", "sub\x1F/x.txt"};
    for (const std::string& name : names) {
        // A folder entry with hidden, system and read-only set would mark its target.
        const std::string archive = PutArchive(
            OneEntryArchive(name, "boese", name.back() == '/' ? 0x17 : 0x20), "hostile_.zip");
        const auto before = Snapshot();
        const std::uint32_t outer = platform::CurrentOs().Files().GetAttributes("C:\\OUT");
        const std::uint32_t inner = platform::CurrentOs().Files().GetAttributes("C:\\OUT\\INNER");
        events_.clear();
        EXPECT_EQ(ZipExtractWithHandlers(archive, "C:\\OUT\\INNER", "*.*", Recorder(), nullptr), -4)
            << name;
        EXPECT_EQ(events_.back().code, ZipReportFatal) << name;
        EXPECT_EQ(Snapshot(), before) << name;
        EXPECT_EQ(platform::CurrentOs().Files().GetAttributes("C:\\OUT"), outer) << name;
        EXPECT_EQ(platform::CurrentOs().Files().GetAttributes("C:\\OUT\\INNER"), inner) << name;
        EXPECT_EQ(fs::directory_iterator(windows_.HostPath("C:\\OUT\\INNER")),
                  fs::directory_iterator())
            << name;
    }
}

TEST_F(ZipExtraction, NewFilesTakeTheEntrysAttributesOnlyWithGoodData) {
    auto& files = platform::CurrentOs().Files();
    const struct {
        std::uint32_t entry;
        std::uint32_t reported;
    } cases[] = {{0x00, platform::attr::kNormal}, {0x22, 0x22}, {0x27, 0x27}};
    for (const auto& c : cases) {
        EXPECT_EQ(
            ZipExtractFiles(PutArchive(OneEntryArchive("n.txt", "NEU", c.entry)), "C:\\NEW", "*.*"),
            1);
        EXPECT_EQ(files.GetAttributes("C:\\NEW\\n.txt"), c.reported) << c.entry;
        ASSERT_TRUE(files.SetAttributes("C:\\NEW\\n.txt", platform::attr::kNormal));
        ASSERT_TRUE(files.DeleteFile("C:\\NEW\\n.txt"));
        // A CRC mismatch leaves no file, whatever the attributes.
        std::string bad = OneEntryArchive("n.txt", "BAD", c.entry);
        bad[14] ^= 1;  // the local header's CRC
        EXPECT_EQ(ZipExtractFiles(PutArchive(bad), "C:\\NEW", "*.*"), 0) << c.entry;
        EXPECT_EQ(files.GetAttributes("C:\\NEW\\n.txt"), platform::attr::kInvalid) << c.entry;
    }
}

TEST_F(ZipExtraction, ExistingTargetsAreReplacedOnlyByGoodData) {
    windows_.WriteFile("C:\\OUT\\a.txt", "OLD");
    platform::CurrentOs().Files().SetAttributes("C:\\OUT\\a.txt", platform::attr::kReadOnly);

    // A read-only target is replaced and then carries the entry's attributes.
    std::string archive = PutArchive(OneEntryArchive("a.txt", "NEW", 0x21));
    EXPECT_EQ(ZipExtractFiles(archive, "C:\\OUT", "*.*"), 1);
    EXPECT_EQ(windows_.ReadFile("C:\\OUT\\a.txt"), "NEW");
    EXPECT_EQ(platform::CurrentOs().Files().GetAttributes("C:\\OUT\\a.txt") & 0x21u, 0x21u);

    // A CRC mismatch keeps the old file and its attributes.
    std::string bad = OneEntryArchive("a.txt", "BAD", 0x20);
    bad[14] ^= 1;  // the local header's CRC
    archive = PutArchive(bad);
    EXPECT_EQ(ZipExtractWithHandlers(archive, "C:\\OUT", "*.*", Recorder(), nullptr), 0);
    ASSERT_GE(events_.size(), 2u);
    EXPECT_EQ(events_[events_.size() - 2].code, -1);
    EXPECT_EQ(windows_.ReadFile("C:\\OUT\\a.txt"), "NEW");
    EXPECT_EQ(platform::CurrentOs().Files().GetAttributes("C:\\OUT\\a.txt") & 0x21u, 0x21u);

    // The question handler's "no" skips the entry and leaves the file alone, also
    // when the entry spells the name differently.
    events_.clear();
    archive = PutArchive(OneEntryArchive("A.TXT", "OTHER"));
    const ZipQuestionHandler no = [](const ZipReport&) { return false; };
    EXPECT_EQ(ZipExtractWithHandlers(archive, "C:\\OUT", "*.*", Recorder(), no), 1);
    EXPECT_EQ(windows_.ReadFile("C:\\OUT\\a.txt"), "NEW");
    ASSERT_GE(events_.size(), 4u);
    EXPECT_EQ(events_[2].status, ZipStatusProgress);
    EXPECT_EQ(events_[2].code, 5);  // the entry's size

    // Target paths over 259 characters are refused whole (-2), nothing is created.
    const std::string longFolder = "C:\\" + std::string(252, 'L');
    EXPECT_EQ(ZipExtractWithHandlers(archive, longFolder, "*.*", Recorder(), nullptr), 0);
    ASSERT_GE(events_.size(), 2u);
    EXPECT_EQ(events_[events_.size() - 2].code, -2);
    EXPECT_FALSE(windows_.Exists(longFolder));
}

// The archive with the entry's data cut at `cut` and the central directory moved up
// behind it (its offset in the end record adjusted): the data runs out early.
std::string CutData(const std::string& archive, std::size_t cut) {
    const std::size_t end = archive.size() - 22;  // no archive comment
    std::uint32_t directory = 0;
    for (std::size_t i = 4; i-- > 0;) {
        directory = directory << 8 | static_cast<std::uint8_t>(archive[end + 16 + i]);
    }
    std::string result = archive.substr(0, cut) + archive.substr(directory);
    const auto moved = static_cast<std::uint32_t>(cut);
    for (std::size_t i = 0; i < 4; ++i) {
        result[result.size() - 22 + 16 + i] = static_cast<char>(moved >> (8 * i));
    }
    return result;
}

TEST_F(ZipExtraction, DamagedAndTruncatedArchivesLeaveTheTargetAlone) {
    const std::string plain = Archives().Files().at("sub/small.txt");
    for (const char* level : {"-0", "-9"}) {
        const std::string bytes =
            Archives().Make(std::string("zip -q ") + level + " ../out.zip sub/small.txt");
        const std::size_t dataStart = 30 + std::string("sub/small.txt").size();
        windows_.WriteFile("C:\\OUT\\sub\\small.txt", "OLD");
        std::vector<std::string> variants;
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            variants.push_back(bytes.substr(0, cut));  // the end record is gone
            std::string damaged = bytes;
            damaged[cut] = static_cast<char>(damaged[cut] ^ 0x5A);
            variants.push_back(damaged);
        }
        for (std::size_t cut = dataStart; cut < dataStart + 20 && cut < bytes.size(); ++cut) {
            variants.push_back(CutData(bytes, cut));
        }
        for (std::size_t i = 0; i < variants.size(); ++i) {
            const std::string archive = PutArchive(variants[i], "cut_.zip");
            const std::int32_t result = ZipExtractFiles(archive, "C:\\OUT", "*.*");
            const std::string now = windows_.ReadFile("C:\\OUT\\sub\\small.txt");
            // Success may also mean that only the name or an unused field was damaged.
            EXPECT_TRUE(now == "OLD" || (result == 1 && now == plain)) << level << " variant " << i;
            for (const auto& entry : fs::recursive_directory_iterator(windows_.Root())) {
                EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
            }
            // A new target, written in place, is there only when it is complete.
            fs::remove(windows_.HostPath("C:\\OUT\\sub\\small.txt"));
            const std::int32_t fresh = ZipExtractFiles(archive, "C:\\OUT", "*.*");
            if (windows_.Exists("C:\\OUT\\sub\\small.txt")) {
                EXPECT_EQ(fresh, 1) << level << " variant " << i;
                EXPECT_TRUE(windows_.ReadFile("C:\\OUT\\sub\\small.txt") == plain)
                    << level << " variant " << i;
            }
            windows_.WriteFile("C:\\OUT\\sub\\small.txt", "OLD");
        }
    }
}

TEST_F(ZipExtraction, EscapeAbortsAndTheBusyFlagGuardsReentry) {
    std::string big(3'000'000, 'a');
    for (std::size_t i = 0; i < big.size(); i += 97) {
        big[i] = static_cast<char>('a' + i % 26);
    }
    WriteHostFile(Archives().Source() / "big.txt", big);
    const std::string bigArchive = Archives().Make("zip -q -1 ../out.zip big.txt");
    fs::remove(Archives().Source() / "big.txt");
    const std::string archive = PutArchive(bigArchive);

    // Escape held: it counts when the percentage of compressed data read changes.
    // Reads are whole blocks of 4,096 bytes, so a small deflated entry is read in one
    // go and never looks; stored data looks after its block, a large entry at its
    // second block.
    struct Case {
        const char* name;
        std::string archive;
        std::int32_t result;
    };
    const Case cases[] = {
        {"small, deflated", Archives().Make("zip -q -9 ../out.zip sub/small.txt"), 1},
        {"small, stored", Archives().Make("zip -q -0 ../out.zip sub/small.txt"), -5},
        {"large, deflated", bigArchive, -5},
    };
    windows_.Os().SetKeyDown(kEscapeKey, true);
    int run = 0;
    for (const Case& c : cases) {
        const std::string folder = "C:\\ESC" + std::to_string(run++);
        const std::string path = PutArchive(c.archive, "esc_.zip");
        const auto before = Snapshot();
        events_.clear();
        EXPECT_EQ(ZipExtractWithHandlers(path, folder, "*.*", Recorder(), nullptr), c.result)
            << c.name;
        if (c.result == 1) {
            ExpectExtracted(folder, {"sub/small.txt"});
        } else {
            EXPECT_EQ(events_.back().code, ZipReportFatal) << c.name;
            EXPECT_EQ(events_.back().status, -5) << c.name;
            EXPECT_EQ(Snapshot(), before) << c.name;
        }
    }
    windows_.Os().SetKeyDown(kEscapeKey, false);

    // A handler started from the message pump can't start a second extraction.
    std::int32_t nested = 1;
    windows_.Os().SetPumpHook([&] {
        if (nested == 1) {
            nested = ZipExtractEntry(archive, "C:\\NESTED\\big.txt", 0, nullptr, 0);
        }
    });
    EXPECT_EQ(ZipExtractFiles(archive, "C:\\OUT", "*.*"), 1);
    windows_.Os().SetPumpHook({});
    EXPECT_EQ(nested, -8);
    EXPECT_TRUE(windows_.ReadFile("C:\\OUT\\big.txt") == big);

    // A busy flag left behind by an abandoned extraction is stale after 30 s without a pump.
    ZipShared().Busy = true;
    EXPECT_EQ(ZipExtractEntry(archive, "C:\\AGAIN\\big.txt", 0, nullptr, 0), -8);
    windows_.Os().AdvanceTicks(30001);
    EXPECT_EQ(ZipExtractEntry(archive, "C:\\AGAIN\\big.txt", 0, nullptr, 0), 0);
    EXPECT_FALSE(ZipShared().Busy);
}

std::string StoredArchive(const std::vector<std::pair<std::string, std::string>>& entries) {
    zipenc::ZipWriter writer;
    for (const auto& [name, content] : entries) {
        writer.Add(
            zipenc::StoredEntry(name, std::vector<std::uint8_t>(content.begin(), content.end())));
    }
    const auto bytes = writer.Finish();
    return {bytes.begin(), bytes.end()};
}

TEST_F(ZipExtraction, NoExceptionLeavesTheExtractor) {
    // A handler that throws while an entry is written: the entry fails as a
    // serious read error, nothing is left behind, and the run still ends as runs
    // do (handlers unregistered, not busy); one that throws at every report ends
    // the run with -9.
    const std::string archive = PutArchive(StoredArchive({{"a.txt", "content"}}));
    for (const bool always : {false, true}) {
        int thrown = 0;
        const ZipReportHandler throwing = [&](std::int32_t, const ZipReport& report) {
            if (always || (report.Status == ZipStatusProgress && thrown++ == 0)) {
                throw std::runtime_error("handler failed");
            }
        };
        ZipSetReportHandler(throwing);
        ZipSetQuestionHandler([](const ZipReport&) { return true; });
        EXPECT_EQ(ZipExtractFiles(archive, "C:\\T", "*.*"), always ? -9 : -3) << always;
        EXPECT_FALSE(windows_.Exists("C:\\T\\a.txt")) << always;
        EXPECT_FALSE(ZipShared().Busy) << always;
        EXPECT_FALSE(ZipSetReportHandler(nullptr)) << always;
        EXPECT_FALSE(ZipSetQuestionHandler(nullptr)) << always;
    }
}

TEST_F(ZipExtraction, TemporaryNamesAreCreatedExclusively) {
    // The name the next temporary file will get: names are tried in counter order,
    // so it follows the one a probe sees while it replaces an existing file.
    auto nextTemporaryName = [this] {
        windows_.WriteFile("C:\\PROBE\\p.txt", "old");
        std::string seen;
        const ZipReportHandler spy = [&](std::int32_t, const ZipReport& report) {
            if (report.Status != ZipStatusProgress) {
                return;
            }
            for (const auto& entry : fs::directory_iterator(windows_.HostPath("C:\\PROBE"))) {
                if (entry.path().filename().string().starts_with("~zip")) {
                    seen = entry.path().filename().string();
                }
            }
        };
        const std::string probe = PutArchive(StoredArchive({{"p.txt", "new"}}), "probe_.zip");
        EXPECT_EQ(ZipExtractWithHandlers(probe, "C:\\PROBE", "*.*", spy, nullptr), 1);
        EXPECT_EQ(seen.size(), 12u);
        const unsigned next = (std::stoul(seen.substr(4, 4), nullptr, 16) + 1) & 0xFFFF;
        char name[16];
        std::snprintf(name, sizeof name, "~zip%04X.tmp", next);
        return std::string(name);
    };

    // The first entry replaces a.txt through the temporary name, the second is a
    // member of that very name, the third replaces b.txt: its temporary file must
    // not take the member's place (nor fail on a folder of that name).
    for (const bool asFolder : {false, true}) {
        const std::string folder = asFolder ? "C:\\DIR" : "C:\\FILE";
        windows_.WriteFile(folder + "\\a.txt", "old a");
        windows_.WriteFile(folder + "\\b.txt", "old b");
        const std::string temporary = nextTemporaryName();
        const std::string member = asFolder ? temporary + "/" : temporary;
        const std::string archive = PutArchive(StoredArchive(
            {{"a.txt", "new a"}, {member, asFolder ? "" : "member"}, {"b.txt", "new b"}}));
        EXPECT_EQ(ZipExtractFiles(archive, folder, "*.*"), 3) << member;
        EXPECT_EQ(windows_.ReadFile(folder + "\\a.txt"), "new a");
        EXPECT_EQ(windows_.ReadFile(folder + "\\b.txt"), "new b");
        const fs::path host = windows_.HostPath(folder + "\\" + temporary);
        if (asFolder) {
            EXPECT_TRUE(fs::is_directory(host)) << member;
        } else {
            EXPECT_EQ(windows_.ReadFile(folder + "\\" + temporary), "member");
        }
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(host.parent_path())) {
            ++entries;
        }
        EXPECT_EQ(entries, 3u) << "a temporary file was left behind in " << folder;
    }

    // A file that holds the next name belongs to someone else: it is skipped, not
    // truncated.
    windows_.WriteFile("C:\\OTHER\\a.txt", "old");
    const std::string taken = "C:\\OTHER\\" + nextTemporaryName();
    windows_.WriteFile(taken, "not ours");
    EXPECT_EQ(ZipExtractFiles(PutArchive(StoredArchive({{"a.txt", "new"}})), "C:\\OTHER", "*.*"),
              1);
    EXPECT_EQ(windows_.ReadFile(taken), "not ours");
    EXPECT_EQ(windows_.ReadFile("C:\\OTHER\\a.txt"), "new");
}

}  // namespace
}  // namespace setup::zip
