// Starting the entries of [Starten] through the shell: "FILE,1" starts when the
// finish page appears, every other entry on "&Starten".
#include "app/MainForm.h"
#include "platform/Os.h"
#include "system/Placeholders.h"
#include "system/ShellOpenErrors.h"

namespace setup::app {

void TMainForm::StartPrograms(bool automatic) {
    const IniFile script(state_.ScriptPath);
    for (const std::string& key : script.ReadSectionKeys("Starten")) {
        const std::size_t comma = key.find(',');
        const bool marked = comma != std::string::npos && key.back() == '1';
        if (marked == automatic) {
            const std::string file = key.substr(0, comma);
            OpenWithShell(ExpandPlaceholders(file, InstallDir(), state_.ProgramGroupName));
        }
    }
}

// Hands the file to the shell; a failure is told in the shell's own English words.
void TMainForm::OpenWithShell(std::string_view path) {
    const std::intptr_t result = platform::CurrentOs().ShellServices().OpenWithShell(path);
    if (result <= 32) {
        MessageDlg(ShellOpenErrorText(result), DialogKind::Error, kButtonOk);
    }
}

}  // namespace setup::app
