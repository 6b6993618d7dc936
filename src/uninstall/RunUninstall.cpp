#include "uninstall/RunUninstall.h"

#include "platform/Os.h"
#include "system/PathHelpers.h"
#include "uninstall/CarryOut.h"
#include "uninstall/UninstallTexts.h"

namespace setup::uninstall {

int RunUninstall(std::span<const std::string> arguments, UninstallUi& ui) {
    const bool testMode = !arguments.empty() && AsciiUpper(arguments.front()) == "/TEST";
    platform::SystemInfo& system = platform::CurrentOs().System();
    UninstallFiles files;
    files.programPath = system.ProgramPath();
    files.logPath = ReplaceExtension(files.programPath, ".ini");
    files.windowsFolder = AddTrailingBackslash(system.WindowsFolder());

    const LogReadResult read = ReadUninstallLog(files.logPath);
    if (!read.log) {
        ui.ShowDialog(LogErrorMessage(read, files.logPath));
        return exit_code::kBadLog;
    }
    if (ui.ShowDialog(RemoveQuestion(read.log->programName)) != app::answer::kYes) {
        return exit_code::kDeclined;
    }
    const UninstallOutcome outcome = CarryOut(*read.log, files, testMode);
    ui.ShowDialog(ResultMessage(read.log->programName, outcome, testMode));
    return outcome.Complete() ? exit_code::kRemoved : exit_code::kPartly;
}

}  // namespace setup::uninstall
