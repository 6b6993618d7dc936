// Fixture for the shell steps: an installation of "Prog" into C:\Ziel\ with an
// uninstaller on the medium, run through a session up to the program group page,
// and readers for what the steps left behind (uninstall log, shortcuts).
#pragma once

#include <string>
#include <string_view>

#include "platform/posix/ShellLinkFile.h"
#include "support/WizardTest.h"
#include "system/IniFile.h"

namespace setup::app {

class ShellStepTest : public FormTest {
  protected:
    static constexpr const char* kLog = "C:\\WINDOWS\\Uninstall Prog.ini";
    static constexpr const char* kUninstaller = "C:\\WINDOWS\\Uninstall Prog.exe";

    // [ProgInfos] for "Prog" in C:\Ziel (or where `progInfos` says, which adds its
    // lines) with the uninstaller Uninst.exe on the medium, then `sections`.
    void WriteProgScript(std::string_view sections, bool uninstaller = true,
                         std::string_view progInfos = "ZielVerz=C:\\Ziel\n") {
        if (uninstaller) {
            windows_.WriteFile("D:\\Uninst.exe", "MZ");
        }
        WriteScript(std::string("[ProgInfos]\nName=Prog\n") + std::string(progInfos) +
                    (uninstaller ? "Uninstaller=Uninst.exe\n" : "") + std::string(sections));
    }

    // A section of the uninstall log as "key=value" lines in file order.
    static std::string LogSection(std::string_view section) {
        const IniFile log(kLog);
        std::string text;
        for (const std::string& key : log.ReadSectionKeys(section)) {
            text += key + "=" + log.ReadString(section, key, "") + "\n";
        }
        return text;
    }

    static std::optional<platform::posix::ShellLinkFields> Shortcut(std::string_view path) {
        return platform::posix::ReadShortcutFile(platform::CurrentOs().Files(), path);
    }

    static std::vector<std::string> DialogTexts(const SessionResult& result) {
        std::vector<std::string> texts;
        for (const auto& dialog : result.dialogs) {
            texts.push_back(dialog.text);
        }
        return texts;
    }
};

}  // namespace setup::app
