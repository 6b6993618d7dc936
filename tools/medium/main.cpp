// medium: the vendor's tool for installation media.
//
//   medium check MEDIUM    the problems the installer would meet on MEDIUM, as
//                          "Setup.ini:LINE: error|warning: TEXT [RULE]" lines and a
//                          summary; exit status 1 on any error, 2 on bad input
//   medium build SOURCE OUT [--diskettes SIZE] [--setup EXE] [--uninstaller EXE] [--zip FILE]
//                          the medium from a source folder (BuildMedium.h); exit
//                          status 2 on bad input, OUT then as it was
//   medium try MEDIUM [WINROOT] [/TEST] [--round-trip]
//                          installs MEDIUM as a hurried user (TryMedium.h; not in
//                          medium.exe, which has no emulated Windows)
//   medium --version       the version of the kit this tool belongs to
//
// Natively the medium is drive M: of an emulated Windows that holds nothing but
// that drive, so the installer's own code reads it as it would on Windows.
// The rules are described in docs/setup-ini.md.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "BuildMedium.h"
#include "CheckMedium.h"
#include "HostDrive.h"
#include "HostNames.h"
#ifdef _WIN32
#include "platform/win32/Win32Os.h"
#else
#include <unistd.h>

#include "TryMedium.h"
#include "platform/posix/Cp1252.h"
#include "platform/posix/PosixOs.h"
#endif

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: medium check MEDIUM\n"
    "       medium build SOURCE OUT [--diskettes SIZE] [--setup EXE] [--uninstaller EXE] "
    "[--zip FILE]\n"
#ifndef _WIN32
    "       medium try MEDIUM [WINROOT] [/TEST] [--round-trip]\n"
#endif
    "       medium --version\n";

#ifdef _WIN32
// On Windows the medium is the folder itself, read by the system's own calls.
class MediumDrive {
  public:
    explicit MediumDrive(const fs::path& medium)
        : installed_(setup::platform::win32::ProcessOs()),
          root_(fs::absolute(medium).string() + "\\") {}
    std::optional<std::string> Spelling(std::string_view) const { return std::nullopt; }
    const std::string& Root() const { return root_; }

  private:
    setup::platform::ScopedOs installed_;
    std::string root_;
};

std::string Cp1252ToUtf8(std::string_view text) {
    return std::string(text);
}
#else
using setup::platform::posix::Cp1252ToUtf8;
using setup::platform::posix::Utf8ToCp1252;

// An emulated Windows with the medium as drive M:, in a scratch root removed at the end.
class MediumDrive {
  public:
    explicit MediumDrive(const fs::path& medium) : medium_(fs::absolute(medium)) {
        std::string pattern = (fs::temp_directory_path() / "medium-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::cerr << "medium: can't create a temporary folder\n";
            std::exit(2);
        }
        root_ = pattern;
        setup::platform::PosixOsConfig config;
        config.root = root_;
        config.drives['M'] = medium_;
        config.bare = true;
        os_.emplace(std::move(config));
        installed_.emplace(*os_);
    }
    ~MediumDrive() {
        installed_.reset();
        os_.reset();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    MediumDrive(const MediumDrive&) = delete;
    MediumDrive& operator=(const MediumDrive&) = delete;

    // A Windows path of the medium as the host disk spells its names.
    std::optional<std::string> Spelling(std::string_view path) const {
        const auto host = os_->HostPath(path);
        if (!host) {
            return std::nullopt;
        }
        std::string spelt = "M:";
        for (const fs::path& part : fs::relative(*host, medium_)) {
            spelt += "\\" + Utf8ToCp1252(part.string());
        }
        return spelt;
    }
    std::string Root() const { return "M:\\"; }

  private:
    fs::path medium_;
    fs::path root_;
    std::optional<setup::platform::PosixOs> os_;
    std::optional<setup::platform::ScopedOs> installed_;
};
#endif

int Check(const fs::path& medium) {
    if (!fs::is_directory(medium)) {
        std::cerr << "medium: " << medium.string() << " is not a folder\n";
        return 2;
    }
    MediumDrive drive(medium);
    setup::medium::CheckOptions options;
    options.spelling = [&drive](std::string_view path) { return drive.Spelling(path); };
    const auto diagnostics = setup::medium::CheckMedium(drive.Root(), options);
    for (const auto& diagnostic : diagnostics) {
        std::cout << Cp1252ToUtf8(setup::medium::FormatDiagnostic(diagnostic)) << "\n";
    }
    std::cout << setup::medium::Summary(diagnostics) << "\n";
    return setup::medium::HasError(diagnostics) ? 1 : 0;
}

int Build(const std::vector<std::string>& args, const char* argv0) {
    std::string error;
    auto options = setup::medium::ParseBuildArguments(args, error);
    if (!options) {
        std::cerr << "medium: " << error << "\n" << kUsage;
        return 2;
    }
    options->programFolders = setup::medium::ProgramFolders(argv0);
    options->asWindows = setup::medium::AsWindowsFolder;
    return setup::medium::BuildMedium(*options, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "medium " << SETUP_VERSION_STRING << "\n";
        return 0;
    }
    if (args.size() == 2 && args[0] == "check") {
        return Check(args[1]);
    }
    if (!args.empty() && args[0] == "build") {
        std::vector<std::string> rest(args.begin() + 1, args.end());
#ifdef _WIN32
        for (std::string& arg : rest) {
            arg = setup::medium::Utf8Of(arg);  // the paths as UTF-8, as natively
        }
#endif
        return Build(rest, argv[0]);
    }
#ifndef _WIN32
    if (!args.empty() && args[0] == "try") {
        if (auto options = setup::medium::ReadTryArguments(std::span(args).subspan(1))) {
            return setup::medium::TryMedium(*options, std::cout, std::cerr);
        }
    }
#endif
    std::cerr << kUsage;
    return 2;
}
