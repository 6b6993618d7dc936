#include "uninstall/RunUninstall.h"

#include "platform/Os.h"
#include "system/PathHelpers.h"
#include "uninstall/CarryOut.h"
#include "uninstall/UninstallTexts.h"

namespace setup::uninstall {

int RunUninstall(std::span<const std::string> arguments, UninstallUi& ui,
                 std::string* programLeftAt) {
    const bool testMode = arguments.size() == 1 && AsciiUpper(arguments.front()) == "/TEST";
    if (!arguments.empty() && !testMode) {
        // A mistyped or unknown switch must not start a real removal.
        ui.ShowDialog(UnknownArgumentsMessage(arguments));
        return exit_code::kBadArguments;
    }
    auto show = [&](app::MessageDialog dialog) {
        if (testMode) {
            dialog.caption += kTestModeMark;
        }
        return ui.ShowDialog(dialog);
    };
    platform::SystemInfo& system = platform::CurrentOs().System();
    UninstallFiles files;
    files.programPath = system.ProgramPath();
    files.logPath = ReplaceExtension(files.programPath, ".ini");
    files.windowsFolder = AddTrailingBackslash(system.WindowsFolder());

    LogReadResult read = ReadUninstallLog(files.logPath);
    if (!read.log) {
        show(LogErrorMessage(read, files.logPath));
        return exit_code::kBadLog;
    }
    if (show(RemoveQuestion(read.log->programName)) != app::answer::kYes) {
        return exit_code::kDeclined;
    }
    const UninstallOutcome outcome = CarryOut(*read.log, files, testMode);
    if (programLeftAt != nullptr) {
        *programLeftAt = outcome.programLeftAt;
    }
    show(ResultMessage(read.log->programName, outcome, testMode));
    return outcome.Complete() ? exit_code::kRemoved : exit_code::kPartly;
}

}  // namespace setup::uninstall
