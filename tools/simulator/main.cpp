// The console simulator: runs the installer's wizard without a display on an
// emulated Windows, driven by a session script, and prints the transcript.
// Usage and formats: docs/simulator.md.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "PosixInput.h"
#include "platform/posix/Cp1252.h"
#include "platform/posix/PosixOs.h"
#include "ui/headless/Session.h"

namespace {

namespace fs = std::filesystem;
using setup::platform::posix::Cp1252ToUtf8;
using setup::platform::posix::Utf8ToCp1252;
using setup::simulator::ConvertedCopy;
using setup::simulator::PosixInput;

constexpr const char* kUsage =
    "usage: simulator [--windows=nt|9x] [--convert-text] MEDIUM WINROOT SCRIPT [ARG...]\n"
    "       simulator --version\n"
    "  MEDIUM   folder of the installation medium, mapped as drive D: (the program\n"
    "           runs as D:\\Setup.exe)\n"
    "  WINROOT  host folder of the emulated Windows, created when missing (C: is\n"
    "           WINROOT/c, the registry WINROOT/registry.txt)\n"
    "  SCRIPT   the session script (UTF-8); \"-\" reads standard input\n"
    "  ARG      command-line arguments of the program, for example /TEST\n"
    "  --windows=9x      a Windows outside the NT family (default: NT)\n"
    "  --convert-text    the medium's .ini, .txt and .csv files are UTF-8 text (as in\n"
    "                    examples/): run on a copy in WINROOT/medium converted to\n"
    "                    Windows-1252 with CR LF line ends\n";

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "simulator " << SETUP_VERSION_STRING << "\n";
        return 0;
    }
    bool windowsNT = true;
    bool convertText = false;
    while (!args.empty() && args.front().starts_with("--")) {
        if (args.front() == "--windows=9x") {
            windowsNT = false;
        } else if (args.front() == "--windows=nt") {
            windowsNT = true;
        } else if (args.front() == "--convert-text") {
            convertText = true;
        } else {
            std::cerr << kUsage;
            return 2;
        }
        args.erase(args.begin());
    }
    if (args.size() < 3) {
        std::cerr << kUsage;
        return 2;
    }
    fs::path medium = args[0];
    fs::path root = args[1];
    if (!fs::is_directory(medium)) {
        std::cerr << "simulator: no medium folder " << medium << "\n";
        return 2;
    }
    std::string script;
    if (args[2] == "-") {
        script = ReadAll(std::cin);
    } else {
        std::ifstream in(args[2], std::ios::binary);
        if (!in) {
            std::cerr << "simulator: can't read the script " << args[2] << "\n";
            return 2;
        }
        script = ReadAll(in);
    }
    std::vector<std::string> programArguments;
    for (std::size_t i = 3; i < args.size(); ++i) {
        programArguments.push_back(Utf8ToCp1252(args[i]));
    }

    fs::create_directories(root);
    const fs::path firstMedium = medium;
    if (convertText) {
        medium = ConvertedCopy(medium, root / "medium");
    }
    setup::platform::PosixOsConfig config;
    config.root = root;
    config.drives['D'] = fs::absolute(medium);
    config.programPath = "D:\\Setup.exe";
    config.windowsNT = windowsNT;
    config.fastSleep = true;
    setup::platform::PosixOs os(config);
    setup::platform::ScopedOs active(os);
    PosixInput input(os, 'D', firstMedium, root, convertText);

    auto result = setup::ui::headless::RunSession(Utf8ToCp1252(script), programArguments, input);
    for (const auto& line : result.transcript) {
        std::cout << Cp1252ToUtf8(line) << "\n";
    }
    if (!result.ok) {
        std::cerr << "simulator: the session failed:\n";
        for (const auto& failure : result.failures) {
            std::cerr << "  " << Cp1252ToUtf8(failure) << "\n";
        }
        return 1;
    }
    return 0;
}
