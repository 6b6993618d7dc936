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

#include "platform/posix/Cp1252.h"
#include "platform/posix/PosixOs.h"
#include "platform/posix/ShellLinkFile.h"
#include "ui/headless/Session.h"

namespace {

namespace fs = std::filesystem;
using setup::platform::posix::Cp1252ToUtf8;
using setup::platform::posix::Utf8ToCp1252;

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

fs::path ConvertedCopy(const fs::path& medium, const fs::path& copy);

// The emulated Windows as the session sees it. A medium change names a folder
// relative to the first medium's folder (absolute paths are taken as they are);
// with --convert-text it is converted like the first medium.
class PosixInput final : public setup::ui::headless::SimulatedInput {
  public:
    PosixInput(setup::platform::PosixOs& os, fs::path firstMedium, fs::path root, bool convert)
        : os_(os),
          firstMedium_(std::move(firstMedium)),
          root_(std::move(root)),
          convert_(convert) {}
    void SetPumpHook(std::function<void()> hook) override { os_.SetPumpHook(std::move(hook)); }
    void SetKeyDown(int virtualKey, bool down) override { os_.SetKeyDown(virtualKey, down); }

    bool MapMedium(std::string_view folder) override {
        fs::path host = firstMedium_ / fs::path(Cp1252ToUtf8(folder));
        if (!fs::is_directory(host)) {
            return false;
        }
        if (convert_) {
            host = ConvertedCopy(host, root_ / ("medium" + std::to_string(++changes_)));
        }
        os_.MapDrive('D', fs::absolute(host));
        return true;
    }
    bool SetOpenResult(std::string_view pathOrExtension, std::intptr_t result) override {
        os_.SetOpenResult(pathOrExtension, result);
        return true;
    }
    std::vector<OpenCall> OpenCalls() const override {
        std::vector<OpenCall> calls;
        for (const auto& call : os_.ShellOpenCalls()) {
            calls.push_back({call.path, call.result});
        }
        return calls;
    }
    std::optional<Shortcut> ReadShortcut(std::string_view path) override {
        auto fields = setup::platform::posix::ReadShortcutFile(os_.Files(), path);
        if (!fields) {
            return std::nullopt;
        }
        return Shortcut{fields->target, fields->description, fields->workingDirectory};
    }

  private:
    setup::platform::PosixOs& os_;
    fs::path firstMedium_;
    fs::path root_;
    bool convert_;
    int changes_ = 0;
};

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsTextFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".ini" || extension == ".txt" || extension == ".csv";
}

// Copies the medium, turning its UTF-8 text files into Windows text.
fs::path ConvertedCopy(const fs::path& medium, const fs::path& copy) {
    fs::remove_all(copy);
    fs::create_directories(copy);
    for (const auto& entry : fs::recursive_directory_iterator(medium)) {
        fs::path target = copy / fs::relative(entry.path(), medium);
        if (entry.is_directory()) {
            fs::create_directories(target);
        } else if (IsTextFile(entry.path())) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string text = Utf8ToCp1252(ReadAll(in));
            std::string windows;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
                    windows += '\r';
                windows += text[i];
            }
            std::ofstream(target, std::ios::binary) << windows;
        } else {
            fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
        }
    }
    return copy;
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
    PosixInput input(os, firstMedium, root, convertText);

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
