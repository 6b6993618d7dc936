// docs/setup-ini.md lists every section and key the installer reads from the
// script; this test collects them from the installer's sources (every read on an
// object named `script`, or on IniFile(state_.ScriptPath)) and compares both ways.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// "SECTION" for a list section, "SECTION KEY" for a key.
using Names = std::set<std::string>;

Names ReadBySources() {
    static const std::regex kRead(
        R"((?:script|IniFile\(state_\.ScriptPath\))\.Read(String|Integer|Bool|SectionKeys)\(\s*"([^"]+)\"(?:\s*,\s*"([^"]+)\")?)");
    Names names;
    for (const char* folder : {"src/app", "src/install", "src/shell"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(SETUP_SOURCE_DIR) / folder)) {
            const std::string text = ReadText(entry.path());
            for (std::sregex_iterator m(text.begin(), text.end(), kRead), end; m != end; ++m) {
                const std::string section =
                    (*m)[2].str() == "Diskette" ? "DisketteN" : (*m)[2].str();
                // A key that is not a literal is one of a list section's keys.
                names.insert(Upper((*m)[3].matched ? section + " " + (*m)[3].str() : section));
            }
        }
    }
    return names;
}

// Sections are "### [Name]" headings; keys the first cells "| `Key` |" of the
// tables under them. A section without a key table is a list section.
Names ListedByReference() {
    static const std::regex kHeading(R"(^### \[([A-Za-z]+)\])");
    static const std::regex kKey(R"(^\| `([A-Za-z_]+)` \|)");
    std::istringstream lines(ReadText(fs::path(SETUP_SOURCE_DIR) / "docs/setup-ini.md"));
    Names names;
    std::string section;
    bool keys = false;
    auto close = [&] {
        if (!section.empty() && !keys) {
            names.insert(Upper(section));
        }
    };
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (line.starts_with("## ")) {
            close();
            section.clear();
        } else if (std::regex_search(line, m, kHeading)) {
            close();
            section = m[1];
            keys = false;
        } else if (!section.empty() && std::regex_search(line, m, kKey)) {
            names.insert(Upper(section + " " + m[1].str()));
            keys = true;
        }
    }
    close();
    return names;
}

TEST(Reference, ListsExactlyTheSectionsAndKeysTheInstallerReads) {
    const Names read = ReadBySources();
    // A sanity check of the scan itself.
    ASSERT_TRUE(read.count("PROGINFOS FIRMA") && read.count("DATEIEN") && read.count("DISKETTEN"));
    const Names listed = ListedByReference();
    for (const std::string& name : read) {
        EXPECT_TRUE(listed.count(name)) << name << " is read but not in docs/setup-ini.md";
    }
    for (const std::string& name : listed) {
        EXPECT_TRUE(read.count(name)) << name << " is in docs/setup-ini.md but not read";
    }
}

}  // namespace
