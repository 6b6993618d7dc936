// TShellLink over the emulated shell, and the shortcut files it writes read back
// by an independent reader, lnkinfo (Debian package liblnk-utils).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "platform/posix/Cp1252.h"
#include "platform/posix/ShellLinkFile.h"
#include "shell/ShellLink.h"
#include "support/EmulatedWindows.h"
#include "system/Error.h"

namespace setup::shell {
namespace {

using platform::posix::ShellLinkFields;
using platform::posix::ShellLinkSupport;

// lnkinfo's report of a file (UTF-8), or nothing when it can't be run.
std::optional<std::string> LnkInfo(const std::filesystem::path& file) {
    const std::string command = "lnkinfo '" + file.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return std::nullopt;
    }
    std::string output;
    std::array<char, 4096> buffer;
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe.get())) {
        output.append(buffer.data(), n);
    }
    return output;
}

// The value lnkinfo reports after "Label" and the colon, up to the line end.
std::string Field(const std::string& report, const std::string& label) {
    const std::size_t at = report.find("\t" + label);
    if (at == std::string::npos) {
        return "<none>";
    }
    const std::size_t colon = report.find(": ", at);
    const std::size_t end = report.find('\n', colon);
    return report.substr(colon + 2, end - colon - 2);
}

class ShellLink : public ::testing::Test {
  protected:
    bool Write(const ShellLinkFields& fields, std::string_view file) {
        TShellLink link;
        link.SetDescription(fields.description);
        link.SetPath(fields.target);
        link.SetWorkingDirectory(fields.workingDirectory);
        return link.SaveAs(file);
    }

    testing::EmulatedWindows windows_;
};

TEST_F(ShellLink, LnkInfoReadsWhatWasWritten) {
    const ShellLinkFields cases[] = {
        {"C:\\Programme\\Prog\\Prog.exe", "Texteditor", "C:\\Programme\\Prog\\"},
        {"C:\\Programme\\Grüße\\Größe.exe", "Öffnet Dateien – schnell €", "C:\\Grüße"},
        {"C:\\Prog.exe", "", ""},
    };
    windows_.MakeFolder("C:\\Gruppe");
    for (const ShellLinkFields& c : cases) {
        SCOPED_TRACE(c.target);
        ASSERT_TRUE(Write(c, "C:\\Gruppe\\Verknüpfung.lnk"));
        auto report = LnkInfo(windows_.HostPath("C:\\Gruppe\\Verknüpfung.lnk"));
        ASSERT_TRUE(report.has_value());
        ASSERT_NE(report->find("Windows Shortcut information"), std::string::npos) << *report;
        using platform::posix::Cp1252ToUtf8;
        EXPECT_EQ(Field(*report, "Local path"), Cp1252ToUtf8(c.target)) << *report;
        EXPECT_EQ(Field(*report, "Description"),
                  c.description.empty() ? "<none>" : Cp1252ToUtf8(c.description));
        EXPECT_EQ(Field(*report, "Working directory"),
                  c.workingDirectory.empty() ? "<none>" : Cp1252ToUtf8(c.workingDirectory));
    }
}

TEST_F(ShellLink, WithoutTheShellsObject) {
    windows_.Os().SetShellLinkSupport(ShellLinkSupport::NotRegistered);
    TShellLink link;
    EXPECT_LT(link.LastResult(), 0);
    const std::int32_t created = link.LastResult();
    link.SetPath("C:\\A.exe");
    EXPECT_EQ(link.LastResult(), created);  // the setters do nothing
    EXPECT_FALSE(link.SaveAs("C:\\A.lnk"));
    EXPECT_FALSE(windows_.Exists("C:\\A.lnk"));

    windows_.Os().SetShellLinkSupport(ShellLinkSupport::NoFileInterface);
    try {
        TShellLink refused;
        ADD_FAILURE() << "no error raised";
    } catch (const SetupError& error) {
        EXPECT_EQ(error.Message(), "Interface wird nicht unterstützt");
    }
}

// Damaged files read as no shortcut instead of reading out of bounds.
TEST_F(ShellLink, DecodeRejectsEveryCutOfAValidFile) {
    const std::string bytes =
        platform::posix::EncodeShellLink({"C:\\Ziel\\Prog.exe", "Prog", "C:\\Ziel"});
    ASSERT_TRUE(platform::posix::DecodeShellLink(bytes).has_value());
    // Up to the terminal block, which the properties do not need.
    for (std::size_t size = 0; size + 4 < bytes.size(); ++size) {
        EXPECT_FALSE(platform::posix::DecodeShellLink(bytes.substr(0, size)).has_value()) << size;
    }
}

}  // namespace
}  // namespace setup::shell
