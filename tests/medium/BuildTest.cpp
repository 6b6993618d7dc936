// `medium build` on bad input: each row is one problem, a part of the message that
// must name it, and the promise that OUT stays as it was and nothing is left
// beside it. Also the pieces with rules of their own: the script's conversion,
// diskette sizes and the spreading of files over diskettes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "BuildMedium.h"
#include "Diskettes.h"
#include "HostDrive.h"
#include "ScriptText.h"
#include "support/EmulatedWindows.h"

namespace setup::medium {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

constexpr std::string_view kScript =
    "[ProgInfos]\nName=Muster\n[Dateien]\nMuster.exe=@@INSTDIR@@\nDaten.tx_@1=@@INSTDIR@@\n";

struct BadInput {
    std::string problem;
    std::string script;  // empty: none written
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> args;  // after SOURCE and OUT
    std::string message;            // a part of what the build says
};

TEST(MediumBuild, BadInputLeavesOutAsItWas) {
    const std::vector<BadInput> rows = {
        {"no source folder", "", {}, {}, "no such folder"},
        {"no script", "", {{"Muster.exe", "MZ"}}, {}, "Setup.ini: no such file"},
        {"a script of binary bytes", "PK\x03\x04\x00\x01", {}, {}, "this is no INI text"},
        {"a script without a section", "Hallo Welt\n", {}, {}, "no [section]"},
        {"a character without a 1252 form",
         "[ProgInfos]\nName=Pfeil \xE2\x86\x92\n",
         {},
         {},
         "Setup.ini:2: the character \xE2\x86\x92 (U+2192) has no Windows-1252 form"},
        {"no file listed", "[ProgInfos]\nName=Muster\n", {}, {}, "lists no file"},
        {"a listed file missing",
         std::string(kScript),
         {{"Daten.txt", "x"}},
         {},
         "Muster.exe: no such file (listed in Setup.ini)"},
        {"an archive without its file",
         std::string(kScript),
         {{"Muster.exe", "MZ"}},
         {},
         "Daten.tx_: no such archive, nor a file to pack into it"},
        {"an archive key without \"_\"",
         "[Dateien]\nDaten.txt@1=\n",
         {{"Daten.txt", "x"}},
         {},
         "needs a \"_\""},
        {"two files fit one archive",
         std::string(kScript),
         {{"Muster.exe", "MZ"}, {"Daten.txt", "x"}, {"Daten.txx", "y"}},
         {},
         "could be packed from more than one file"},
        {"an archive of the source that is none",
         std::string(kScript),
         {{"Muster.exe", "MZ"}, {"Daten.tx_", "not an archive"}},
         {},
         "Setup.ini:5: \"Daten.tx_\" is not a ZIP archive"},
        {"a path out of the medium",
         "[Dateien]\n..\\Fremd.txt=\n",
         {},
         {},
         "is no path inside the medium"},
        {"a diskette below the fixed content",
         std::string(kScript),
         {{"Muster.exe", "MZ"}, {"Daten.txt", "x"}},
         {"--diskettes", "20"},
         "below what the first diskette must hold"},
        {"a file larger than a diskette",
         std::string(kScript),
         {{"Muster.exe", std::string(5000, 'M')}, {"Daten.txt", "x"}},
         {"--diskettes", "1000"},
         "\"Muster.exe\" (5000 bytes) does not fit on an empty diskette of 1000 bytes"},
        {"--setup names nothing",
         std::string(kScript),
         {{"Muster.exe", "MZ"}, {"Daten.txt", "x"}},
         {"--setup", "/nonexistent/Setup.exe"},
         "/nonexistent/Setup.exe: no such file"},
        {"an unwritable OUT",
         std::string(kScript),
         {{"Muster.exe", "MZ"}, {"Daten.txt", "x"}},
         {},
         "can't write beside it"},
        {"an unwritable ZIP file",
         std::string(kScript),
         {{"Muster.exe", "MZ"}, {"Daten.txt", "x"}},
         {"--zip", "/nonexistent/m.zip"},
         "/nonexistent/m.zip: can't be written"},
        {"OUT holding the source",
         std::string(kScript),
         {{"Muster.exe", "MZ"}},
         {},
         "would replace the source folder"},
        {"a file that vanished (a dangling link)",
         std::string(kScript),
         {{"Daten.txt", "x"}, {"->Muster.exe", "/nonexistent/Muster.exe"}},
         {},
         "Muster.exe: no such file (did it vanish?)"},
    };
    for (const BadInput& row : rows) {
        SCOPED_TRACE(row.problem);
        testing::TemporaryFolder temp;
        const fs::path out = temp.Path() / "out";
        const fs::path source =
            row.problem == "OUT holding the source" ? out / "src" : temp.Path() / "src";
        // OUT below a file: nothing can be written beside it.
        const fs::path target =
            row.problem == "an unwritable OUT" ? out / "earlier.txt" / "m" : out;
        Write(out / "earlier.txt", "the earlier medium");
        if (row.problem != "no source folder") {
            fs::create_directories(source);
        }
        if (!row.script.empty()) {
            Write(source / "Setup.ini", row.script);
        }
        for (const auto& [name, bytes] : row.files) {
            if (name.starts_with("->")) {
                fs::create_symlink(bytes, source / name.substr(2));
            } else {
                Write(source / name, bytes);
            }
        }
        std::vector<std::string> args = {source.string(), target.string()};
        args.insert(args.end(), row.args.begin(), row.args.end());
        std::string error;
        auto options = ParseBuildArguments(args, error);
        ASSERT_TRUE(options) << error;
        options->asWindows = AsWindowsFolder;
        std::ostringstream log;
        EXPECT_EQ(BuildMedium(*options, log), 2);
        EXPECT_NE(log.str().find(row.message), std::string::npos) << log.str();
        std::vector<std::string> left;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
            const fs::path relative = fs::relative(entry.path(), temp.Path());
            if (*relative.begin() != "src" && !relative.string().starts_with("out/src")) {
                left.push_back(relative.generic_string());
            }
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"out", "out/earlier.txt"}));
    }
}

TEST(MediumBuild, WrongArguments) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"src"}, "needs SOURCE and OUT"},
        {{"src", "out", "more"}, "needs SOURCE and OUT"},
        {{"src", "out", "--diskettes", "1,44M"}, "not a size"},
        {{"src", "out", "--diskettes"}, "needs a value"},
        {{"src", "out", "--fast", "1"}, "unknown option --fast"},
    };
    for (const auto& [args, message] : rows) {
        std::string error;
        EXPECT_FALSE(ParseBuildArguments(args, error));
        EXPECT_EQ(error.find(message) != std::string::npos, true) << error;
    }
}

// The script in Windows-1252 with CR LF, whatever the source's form.
TEST(MediumBuild, ScriptForMedium) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"[A]\nk=v\n", "[A]\r\nk=v\r\n"},
        {"[A]\r\nk=v", "[A]\r\nk=v"},
        {"[A]\rk=v\r", "[A]\r\nk=v\r\n"},
        {"[A]\n\nk=\tv\n", "[A]\r\n\r\nk=\tv\r\n"},
        {"\xEF\xBB\xBF[A]\nk=Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\n", "[A]\r\nk=Gr\xFC\xDF \x80\r\n"},
        {"[A]\nk=Gr\xC3\xBC\xC3\x9F\n", "[A]\r\nk=Gr\xFC\xDF\r\n"},
        {"[A]\nk=Gr\xFC\xDF\r\n", "[A]\r\nk=Gr\xFC\xDF\r\n"},  // 1252 stays
        {"\xEF\xBB\xBF[A]\n", "[A]\r\n"},
    };
    for (const auto& [source, medium] : rows) {
        const MediumScript script = ScriptForMedium(source, "Setup.ini");
        EXPECT_EQ(script.error, "");
        EXPECT_EQ(script.text, medium);
    }
    EXPECT_EQ(ScriptForMedium("[A]\n\xEF\xBB\xBFx\n", "S").error,
              "S:2: the character \xEF\xBB\xBF (U+FEFF) has no Windows-1252 form");
    EXPECT_EQ(ScriptForMedium("\xEF\xBB\xBF[A]\nk=\xFC\n", "S").error,
              "S:2: a byte that is not UTF-8 in a UTF-8 script");
}

TEST(MediumBuild, DisketteSizes) {
    const std::vector<std::pair<std::string, std::optional<std::uint64_t>>> rows = {
        {"1440K", 1474560},      {"1.44M", 1474560},    {"1.2M", 1228800},     {"720k", 737280},
        {"360000", 360000},      {"0", std::nullopt},   {"1.5", std::nullopt}, {"K", std::nullopt},
        {"1,44M", std::nullopt}, {"-1K", std::nullopt}, {"1.M", std::nullopt},
    };
    for (const auto& [text, bytes] : rows) {
        EXPECT_EQ(ParseDisketteSize(text), bytes) << text;
    }
}

// Each row: capacity, listed files (name:size) and the diskettes expected, or
// the error's start. The first diskette holds Setup.ini (100) and Info (50);
// the uninstaller Un (30) is on the first and the last.
TEST(MediumBuild, Diskettes) {
    struct Row {
        std::uint64_t capacity;
        std::vector<MediumFile> listed;
        std::vector<std::vector<std::string>> disks;
        std::string error;
    };
    const std::vector<Row> rows = {
        {1000, {{"A", 400}, {"B", 400}}, {{"Setup.ini", "Info", "Un", "A", "B"}}, ""},
        {600,
         {{"A", 400}, {"B", 400}, {"C", 100}},
         {{"Setup.ini", "Info", "Un", "A"}, {"B", "C", "Un"}},
         ""},
        // The uninstaller does not fit beside the last file: the file moves on.
        {500,
         {{"A", 300}, {"B", 480}},
         {{"Setup.ini", "Info", "Un", "A"}, {"B"}, {"Un"}},
         "\"B\" and the uninstaller"},
        {500,
         {{"A", 300}, {"B", 450}, {"C", 40}},
         {{"Setup.ini", "Info", "Un", "A"}, {"B"}, {"C", "Un"}},
         ""},
        // A file asked for again later lies on that diskette again: forward only.
        {500,
         {{"Info", 50}, {"A", 450}, {"Info", 50}},
         {{"Setup.ini", "Info", "Un"}, {"A"}, {"Info", "Un"}},
         ""},
        {500, {{"A", 501}}, {}, "\"A\" (501 bytes) does not fit on an empty diskette"},
        {150, {{"A", 1}}, {}, "the diskette size of 150 bytes is below"},
    };
    for (const Row& row : rows) {
        auto layout = LayOutDiskettes({{"Setup.ini", 100}, {"Info", 50}}, row.listed, {"Un", 30},
                                      row.capacity);
        if (const auto* error = std::get_if<std::string>(&layout)) {
            EXPECT_TRUE(error->starts_with(row.error)) << *error;
        } else {
            EXPECT_EQ(std::get<DisketteLayout>(layout).disks, row.disks);
        }
    }
}

}  // namespace
}  // namespace setup::medium
