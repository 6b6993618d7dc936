#include "TryMedium.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "PosixInput.h"
#include "SystemState.h"
#include "base/AsciiText.h"
#include "platform/posix/Cp1252.h"
#include "platform/posix/PosixOs.h"
#include "ui/headless/Session.h"

namespace setup::medium {
namespace {

namespace fs = std::filesystem;
using platform::posix::Cp1252ToUtf8;

// The medium's drive, as "medium check" maps it.
constexpr char kDrive = 'M';
constexpr const char* kProgram = "M:\\Setup.exe";

// The hurried user installs; the uninstaller is answered "&Ja", and its result "OK".
constexpr std::string_view kInstallScript = "hurry\n";
constexpr std::string_view kUninstallScript = "answer &Ja\nanswer OK\nuninstall\n";

// The emulated Windows' host folder: the one given, which must be empty or
// missing (a fresh system), or a temporary one that is removed at the end.
class WindowsRoot {
  public:
    explicit WindowsRoot(fs::path given) : path_(std::move(given)), temporary_(path_.empty()) {}
    ~WindowsRoot() {
        if (temporary_ && !path_.empty()) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    WindowsRoot(const WindowsRoot&) = delete;
    WindowsRoot& operator=(const WindowsRoot&) = delete;

    // False (and why on `err`) when there is no fresh folder.
    bool Prepare(std::ostream& err) {
        std::error_code error;
        if (temporary_) {
            std::string pattern = (fs::temp_directory_path() / "medium-try-XXXXXX").string();
            if (mkdtemp(pattern.data()) == nullptr) {
                err << "medium: can't create a temporary folder\n";
                return false;
            }
            path_ = pattern;
        } else if (fs::exists(path_, error) && !fs::is_empty(path_, error)) {
            err << "medium: " << path_.string()
                << " is not empty; \"medium try\" installs on a fresh Windows\n";
            return false;
        } else if (!fs::create_directories(path_, error) && error) {
            err << "medium: can't create " << path_.string() << ": " << error.message() << "\n";
            return false;
        }
        return true;
    }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
    bool temporary_;
};

void PrintLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out << Cp1252ToUtf8(line) << "\n";
    }
}

void PrintFailures(std::ostream& err, std::string_view what,
                   const ui::headless::SessionResult& result) {
    err << "medium try: " << what << ":\n";
    for (const std::string& failure : result.failures) {
        err << "  " << Cp1252ToUtf8(failure) << "\n";
    }
}

bool IsKind(const StateChange& change, std::initializer_list<EntryKind> kinds) {
    const StateEntry& entry = change.after ? *change.after : *change.before;
    return std::find(kinds.begin(), kinds.end(), entry.kind) != kinds.end();
}

// What the installation added or changed, by kind, and its uninstall log.
void ListInstallation(std::ostream& out, const std::vector<StateChange>& changes,
                      const std::string& logPath, platform::PosixOs& os) {
    const struct {
        const char* title;
        std::initializer_list<EntryKind> kinds;
    } sections[] = {{"files", {EntryKind::Folder, EntryKind::File}},
                    {"shortcuts", {EntryKind::Shortcut}},
                    {"registry", {EntryKind::RegistryKey, EntryKind::RegistryValue}}};
    for (const auto& section : sections) {
        std::string lines;
        for (const StateChange& change : changes) {
            if (!IsKind(change, section.kinds)) {
                continue;
            }
            const bool added = !change.before && !change.after->shown.empty();
            lines += "  " +
                     (added            ? change.name + "  " + change.after->shown
                      : !change.before ? change.name
                                       : DescribeChange(change)) +
                     "\n";
        }
        out << section.title << ":" << (lines.empty() ? " none\n" : "\n") << Cp1252ToUtf8(lines);
    }
    const auto host = logPath.empty() ? std::nullopt : os.HostPath(logPath);
    std::ifstream in;
    if (host) {
        in.open(*host, std::ios::binary);
    }
    if (!in.is_open()) {
        out << "uninstall log: none\n";
        return;
    }
    out << "uninstall log " << Cp1252ToUtf8(logPath) << ":\n";
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        out << "  " << Cp1252ToUtf8(line) << "\n";
    }
}

}  // namespace

std::optional<TryOptions> ReadTryArguments(std::span<const std::string> words) {
    TryOptions options;
    std::vector<std::string> paths;
    for (const std::string& word : words) {
        if (word == "--round-trip") {
            options.roundTrip = true;
        } else if (EqualsNoCase(word, "/TEST")) {
            options.testMode = true;
        } else if (word.starts_with("--") || word.empty()) {
            return std::nullopt;
        } else {
            paths.push_back(word);
        }
    }
    if (paths.empty() || paths.size() > 2) {
        return std::nullopt;
    }
    options.medium = paths[0];
    options.root = paths.size() == 2 ? fs::path(paths[1]) : fs::path();
    return options;
}

int TryMedium(const TryOptions& options, std::ostream& out, std::ostream& err) {
    if (!fs::is_directory(options.medium)) {
        err << "medium: " << options.medium.string() << " is not a folder\n";
        return 2;
    }
    WindowsRoot root(options.root);
    if (!root.Prepare(err)) {
        return 2;
    }
    const fs::path medium = fs::absolute(options.medium);
    platform::PosixOsConfig config;
    config.root = root.Path();
    config.drives[kDrive] = medium;
    config.programPath = kProgram;
    config.fastSleep = true;
    platform::PosixOs os(config);
    platform::ScopedOs active(os);
    simulator::PosixInput input(os, kDrive, medium, root.Path(), false);
    const SystemState fresh = TakeState(os);

    std::vector<std::string> arguments;
    if (options.testMode) {
        arguments.emplace_back("/TEST");
    }
    const auto installed = ui::headless::RunSession(kInstallScript, arguments, input);
    PrintLines(out, installed.transcript);
    ListInstallation(out, Changes(fresh, TakeState(os)), installed.uninstallLog, os);
    if (!installed.ok) {
        PrintFailures(err, "the hurried installation did not come to its end", installed);
        return 1;
    }
    if (!installed.installOk) {
        err << "medium try: the installation failed (InstallOk: no); the transcript says why\n";
        return 1;
    }
    if (!options.roundTrip) {
        return 0;
    }
    // In test mode nothing may have changed: the comparison follows at once.
    std::optional<ui::headless::SessionResult> removed;
    if (!options.testMode) {
        out << "round trip: the uninstall entry's uninstaller, answered \"&Ja\"\n";
        removed = ui::headless::RunSession(kUninstallScript, {}, input);
        PrintLines(out, removed->transcript);
    }
    const auto left = Changes(fresh, TakeState(os));
    out << "differences from the fresh system:" << (left.empty() ? " none\n" : "\n");
    for (const StateChange& change : left) {
        out << "  " << Cp1252ToUtf8(DescribeChange(change)) << "\n";
    }
    if (removed && !removed->ok) {
        PrintFailures(err, "the uninstall did not come to its end", *removed);
        return 1;
    }
    if (removed && removed->uninstallExit != 0) {
        err << "medium try: the uninstaller ended with exit code "
            << removed->uninstallExit.value_or(-1) << "\n";
        return 1;
    }
    if (!left.empty()) {
        err << "medium try: " << left.size() << " difference(s) from the fresh system"
            << (removed ? " after the uninstall" : " after a test run") << "\n";
        return 1;
    }
    return 0;
}

}  // namespace setup::medium
