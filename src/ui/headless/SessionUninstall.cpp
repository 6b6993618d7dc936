// "uninstall [/TEST]": the uninstaller as the software list starts it. The
// medium's script names the uninstall entry ([Registry] SoftwareKey); its
// command names the program, which runs as the current program (the
// uninstaller finds its log beside itself) with the command's arguments and
// the line's. Its dialogs are the session's dialogs: answered from the queued
// answers, or as a hurried user does after "hurry".
#include <exception>
#include <optional>
#include <span>
#include <tuple>

#include "base/AsciiText.h"
#include "platform/Os.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "system/RegistryValues.h"
#include "ui/headless/ScriptReader.h"
#include "ui/headless/SessionVerbs.h"
#include "uninstall/RunUninstall.h"

namespace setup::ui::headless {
namespace {

struct CommandLine {
    std::string program;
    std::vector<std::string> arguments;
};

bool Exists(std::string_view path) {
    return platform::CurrentOs().Files().GetAttributes(path) != platform::attr::kInvalid;
}

// The words of a text, split at blanks.
void AddWords(std::string_view text, std::vector<std::string>& words) {
    for (auto [word, rest] = FirstWord(text); !word.empty();
         std::tie(word, rest) = FirstWord(rest)) {
        words.emplace_back(word);
    }
}

// The program a command line starts, found as CreateProcess finds it: the quoted
// path, or else the shortest blank-separated beginning that names an existing
// program (".exe" appended when missing); what follows are its arguments.
CommandLine SplitCommand(std::string_view line) {
    CommandLine command;
    std::size_t end = 0;
    if (line.starts_with('"')) {
        end = line.find('"', 1);
        command.program = line.substr(1, end == std::string_view::npos ? end : end - 1);
        end = end == std::string_view::npos ? line.size() : end + 1;
    } else {
        for (end = line.find(' ');; end = line.find(' ', end + 1)) {
            command.program = line.substr(0, end);
            const std::string_view program = command.program;
            if (program.size() < 4 || !EqualsNoCase(program.substr(program.size() - 4), ".exe")) {
                command.program += ".exe";
            }
            if (end == std::string_view::npos || Exists(command.program)) {
                break;
            }
        }
        end = end == std::string_view::npos ? line.size() : end;
    }
    AddWords(line.substr(end), command.arguments);
    return command;
}

// The command of the uninstall entry the medium's script names; empty after a
// failure of the line.
std::string EntryCommand(SessionContext& s, std::string_view scriptPath) {
    const std::string name =
        IniFile(std::string(scriptPath)).ReadString("Registry", "SoftwareKey", "");
    if (name.empty()) {
        s.Fail("the script " + std::string(scriptPath) +
               " names no uninstall entry ([Registry] SoftwareKey)");
        return {};
    }
    const std::string key = std::string(kUninstallKey) + name;
    std::string command;
    try {
        if (auto entry = platform::CurrentOs().Reg().Open(platform::RegRoot::LocalMachine, key)) {
            command = ReadRegistryString(*entry, "UninstallString");
        }
    } catch (const std::exception& error) {
        s.Fail("the uninstall entry can't be read: " + std::string(error.what()));
        return {};
    }
    if (command.empty()) {
        s.Fail("there is no uninstall entry HKLM\\" + key + " with an UninstallString");
    }
    return command;
}

std::string_view ExitMeaning(int code) {
    namespace exit_code = uninstall::exit_code;
    switch (code) {
        case exit_code::kRemoved:
            return "removed";
        case exit_code::kPartly:
            return "something stayed";
        case exit_code::kBadLog:
            return "log unusable";
        case exit_code::kDeclined:
            return "declined";
        case exit_code::kBadArguments:
            return "unknown arguments";
        default:
            return "?";
    }
}

// The uninstaller's dialogs go to the session's host.
class SessionUi final : public uninstall::UninstallUi {
  public:
    explicit SessionUi(HeadlessHost& host) : host_(host) {}
    int ShowDialog(const app::MessageDialog& dialog) override { return host_.ShowDialog(dialog); }

  private:
    HeadlessHost& host_;
};

}  // namespace

void Uninstall(SessionContext& s, std::string_view rest, std::string_view) {
    platform::Os& os = platform::CurrentOs();
    const std::string installer = os.System().ProgramPath();
    // The medium's script, beside the installer (the one the installer read).
    const std::string command = EntryCommand(s, FolderOf(installer) + "Setup.ini");
    if (command.empty()) {
        return;
    }
    CommandLine started = SplitCommand(command);
    AddWords(rest, started.arguments);
    s.host.Transcript().push_back("uninstall: " + command + (rest.empty() ? "" : " ") +
                                  std::string(rest));
    if (!Exists(started.program)) {
        s.Fail("the uninstall entry's program " + started.program + " does not exist");
        return;
    }
    if (!s.input.SetProgramPath(started.program)) {
        s.Fail("the program's path can't be changed here");
        return;
    }
    SessionUi ui(s.host);
    std::string leftAt;
    std::optional<int> code;
    try {
        code = uninstall::RunUninstall(std::span(started.arguments), ui, &leftAt);
    } catch (const std::exception& error) {
        // The program would have ended with an error; the session goes no further.
        s.Fail("the uninstaller stopped: " + std::string(error.what()));
    }
    s.input.SetProgramPath(installer);
    if (!code) {
        return;
    }
    // On Windows a copy of the uninstaller deletes its file once it has ended.
    if (!leftAt.empty()) {
        os.Files().DeleteFile(leftAt);
    }
    s.uninstallExit = *code;
    s.host.Transcript().push_back("uninstall ended: exit code " + std::to_string(*code) + " (" +
                                  std::string(ExitMeaning(*code)) + ")");
}

}  // namespace setup::ui::headless
