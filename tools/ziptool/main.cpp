// ziptool: runs the extractor from the command line and prints every report and
// the run's result code.
//
//   ziptool list ARCHIVE
//   ziptool test ARCHIVE [PATTERN]            decode and check CRCs, write nothing
//   ziptool extract ARCHIVE FOLDER [PATTERN]
//
// Natively the extractor runs on the emulated Windows with drive Z: mapped to the
// host's "/" and drive Y: to the working folder, so host paths work as arguments:
// absolute ones on Z:, relative ones on Y:, which keeps them relative on the host
// (shorter lookups for the kernel). The host's text is UTF-8 there: arguments are
// turned into Windows-1252 (one with a character 1252 lacks is refused), the report
// into UTF-8. Under Windows it runs on the real system, in its own code page.
// Note that ZipIsArchive only accepts paths containing "_", as the installer's
// packed files have; other archives give -12.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "zip/Zip.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/win32/Win32Os.h"
#else
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/posix/Cp1252.h"
#include "platform/posix/PosixOs.h"
#endif

namespace {

using namespace setup::zip;

const char* StatusName(std::int32_t status) {
    switch (status) {
        case ZipStatusStart:
            return "start";
        case ZipStatusProgress:
            return "progress";
        case ZipStatusDone:
            return "done";
        case ZipStatusFailed:
            return "failed";
        case ZipStatusArchiveStart:
            return "archive-start";
        case ZipStatusArchiveEnd:
            return "archive-end";
        default:
            return "error";
    }
}

// Line end of the report: the console's own. The Windows build writes standard
// output in binary mode (see main), since the runtime's text mode hands each
// character to the system on its own.
#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

// The host's text and the program's (Windows-1252), both ways.
#ifdef _WIN32
std::optional<std::string> FromHost(std::string_view text) {
    return std::string(text);
}
std::string ToHost(std::string text) {
    return text;
}
#else
std::optional<std::string> FromHost(std::string_view text) {
    return setup::Utf8ToCp1252Exact(text);
}
std::string ToHost(std::string_view text) {
    return setup::platform::posix::Cp1252ToUtf8(text);
}
#endif

// Appends `text` left-justified in `width` columns, as printf's "%-Ns" does.
void AppendPadded(std::string& line, std::string_view text, std::size_t width) {
    line += text;
    if (text.size() < width) {
        line.append(width - text.size(), ' ');
    }
}

// Appends `value` in decimal, left-justified in `width` columns ("%-Nd").
void AppendNumber(std::string& line, std::int32_t value, std::size_t width) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    AppendPadded(line, std::string_view(digits, static_cast<std::size_t>(end - digits)), width);
}

// One report line, written with one call: under Wine every write of standard
// output is a system call, and a character at a time costs seconds per thousand
// entries. Formatted by hand: printf's parsing of the format took a twentieth of
// the extraction of many small files.
void PrintReport(std::int32_t code, const ZipReport& report, bool verbose) {
    if (report.Status == ZipStatusProgress && code != 0 && !verbose) {
        return;  // output blocks of an entry being written
    }
    std::string line;
    line.reserve(120 + report.Name.size());
    AppendPadded(line, StatusName(report.Status), 13);
    line += " code=";
    AppendNumber(line, code, 6);
    line += " size=";
    AppendNumber(line, report.Size, 10);
    line += " packed=";
    AppendNumber(line, report.CompressedSize, 10);
    line += " method=";
    AppendNumber(line, report.Method, 2);
    line += " ratio=";
    AppendNumber(line, static_cast<std::int8_t>(report.Ratio), 3);
    line += " attr=";
    AppendNumber(line, static_cast<std::int32_t>(report.Attributes), 3);
    line += " time=";
    const auto time = static_cast<std::uint32_t>(report.Time);
    for (int shift = 28; shift >= 0; shift -= 4) {
        line += "0123456789ABCDEF"[(time >> shift) & 0xF];
    }
    line += ' ';
    line += report.Name;
    line += report.IsFolder ? " (folder)" : "";
    line += kLineEnd;
    line = ToHost(std::move(line));
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int Usage() {
    std::fputs(
        "usage: ziptool list ARCHIVE\n"
        "       ziptool test ARCHIVE [PATTERN]\n"
        "       ziptool extract ARCHIVE FOLDER [PATTERN]\n"
        "       (-v before the command also prints each block written)\n",
        stderr);
    return 2;
}

#ifndef _WIN32
// The emulated system: its own scratch root, drive Z: for the host's file system,
// Y: for the working folder.
class HostSystem {
  public:
    HostSystem() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ziptool-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("ziptool: temporary folder");
            std::exit(2);
        }
        root_ = pattern;
        setup::platform::PosixOsConfig config;
        config.root = root_;
        config.drives['Z'] = "/";
        config.drives['Y'] = ".";
        config.bare = true;  // no Windows folders or registry to set up and remove
        os_ = std::make_unique<setup::platform::PosixOs>(std::move(config));
        installed_ = std::make_unique<setup::platform::ScopedOs>(*os_);
    }
    ~HostSystem() {
        installed_.reset();
        os_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    HostSystem(const HostSystem&) = delete;
    HostSystem& operator=(const HostSystem&) = delete;

    // The Windows path of a host path: on Y: when it is relative and stays inside
    // the working folder, else on Z:.
    static std::string WindowsPath(std::string_view hostPath) {
        const std::filesystem::path given(hostPath);
        const std::filesystem::path normal = given.lexically_normal();
        const bool relative = given.is_relative() && !normal.empty() && *normal.begin() != "..";
        std::string path =
            relative ? "Y:\\" + normal.string() : "Z:" + std::filesystem::absolute(given).string();
        for (char& c : path) {
            c = c == '/' ? '\\' : c;
        }
        return path;
    }

  private:
    std::filesystem::path root_;
    std::unique_ptr<setup::platform::PosixOs> os_;
    std::unique_ptr<setup::platform::ScopedOs> installed_;
};
#else
class HostSystem {
  public:
    HostSystem() : installed_(setup::platform::win32::ProcessOs()) {}
    static std::string WindowsPath(std::string_view hostPath) { return std::string(hostPath); }

  private:
    setup::platform::ScopedOs installed_;
};
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    int first = 1;
    bool verbose = false;
    if (argc > first && std::string_view(argv[first]) == "-v") {
        verbose = true;
        ++first;
    }
    if (argc - first < 2) {
        return Usage();
    }
    const std::string_view command = argv[first];
    // Every argument after the command in the program's text: paths as the system
    // names them, a pattern as it is.
    std::string arguments[3];
    const int count = std::min(argc - first - 1, 3);
    for (int i = 0; i < count; ++i) {
        const std::string_view given = argv[first + 1 + i];
        const bool path = i == 0 || (i == 1 && command == "extract");
        const auto text = FromHost(path ? HostSystem::WindowsPath(given) : std::string(given));
        if (!text) {
            std::fprintf(stderr, "ziptool: \"%s\" has a character without a Windows-1252 form\n",
                         argv[first + 1 + i]);
            return 2;
        }
        arguments[i] = *text;
    }
    HostSystem system;
    const std::string& archive = arguments[0];
    const ZipReportHandler print = [verbose](std::int32_t code, const ZipReport& report) {
        PrintReport(code, report, verbose);
    };

    std::int32_t result = 0;
    if (command == "list" && argc - first == 2) {
        result = ZipListEntries(archive, "*.*", print);
    } else if (command == "test" && argc - first <= 3) {
        result = ZipTestArchive(archive, argc - first == 3 ? arguments[1] : "*.*", print);
    } else if (command == "extract" && (argc - first == 3 || argc - first == 4)) {
        result = ZipExtractWithHandlers(archive, arguments[1],
                                        argc - first == 4 ? arguments[2] : "*.*", print, nullptr);
    } else {
        return Usage();
    }
    std::printf("result %d%s", static_cast<int>(result), kLineEnd);
    return result >= 0 ? 0 : 1;
}
