// The program group step: after asking, the group folder and one shortcut per
// [ShortCuts] entry, then the uninstaller's shortcut; everything created is
// recorded in the uninstall log with whether it existed before.
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "platform/Os.h"
#include "platform/TemporaryBeside.h"
#include "shell/ShellLink.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "system/Placeholders.h"

namespace setup::app {
namespace {

constexpr std::string_view kGroupError = "Fehler beim Erstellen der Programmgruppe ";
// The text as the installer has always shown it, misspelling included.
constexpr std::string_view kShortcutError = "Fehler beim Erzeugen der Verkn\xFCpfung zum Prgramm ";

// A [ShortCuts] value: the description up to the first comma, the working
// directory (still to be expanded) after it.
struct ShortcutValue {
    std::string description;
    std::string workingDirectory;
};

// Asked before a shortcut file that is already there is replaced, in the manner of
// the copy phase's question.
std::string ShortcutQuestion(std::string_view existing, std::string_view target) {
    return "Soll die existierende Verkn\xFCpfung\r\n" + std::string(existing) +
           "\r\r\ndurch eine Verkn\xFCpfung zum Programm\r\n" + std::string(target) +
           "\r\r\n ersetzt werden?";
}

ShortcutValue SplitShortcutValue(std::string_view value) {
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) {
        return {std::string(value), {}};
    }
    return {std::string(value.substr(0, comma)), std::string(value.substr(comma + 1))};
}

}  // namespace

bool TMainForm::CreateGroupFolder(std::string_view path) {
    if (state_.TestMode) {
        return true;
    }
    // Success also when the folder exists already; a file of that name is no group.
    platform::FileSystem& files = platform::CurrentOs().Files();
    return files.CreateFolder(path) || platform::IsFolder(files, path);
}

bool TMainForm::CreateShortcut(std::string_view target, std::string_view linkFile,
                               std::string_view description, std::string_view workingDirectory) {
    shell::TShellLink link;
    link.SetDescription(description);
    link.SetPath(target);
    link.SetWorkingDirectory(workingDirectory);
    return link.SaveAs(linkFile);
}

bool TMainForm::CreateProgramGroup() {
    model_.SetEnabled(kBtnWeiter, false);
    // An error the step does not handle (the log can't be written) ends it; the
    // wizard must still be able to go on, and must not report success.
    struct Reenable {
        TMainForm& form;
        bool done = false;
        ~Reenable() {
            if (!done) {
                form.state_.InstallOk = false;
                form.model_.SetEnabled(kBtnWeiter, true);
            }
        }
    } reenable{*this};

    bool result = true;
    bool groupCreated = false;
    bool replaceAll = false;  // existing shortcuts are replaced without a question
    const IniFile script(state_.ScriptPath);
    // The group folder as Windows names it; one that is no full local path (its
    // shell folder not found, say) is not created: it could not be logged.
    const std::optional<std::string> groupFolder = CanonicalLocalPath(state_.ProgramGroupName);
    const std::string group = groupFolder.value_or(state_.ProgramGroupName);
    const std::string installDir = InstallDir();
    const std::string& program = Caption(kProgName);
    const bool logging = !state_.TestMode && state_.UninstallerPresent && state_.UninstallLog;
    // Logged before it is made, so that nothing made is missing from the log (a
    // log that can't be written ends the step first); the record taken back when
    // the item could not be made.
    auto make = [&](std::string_view section, std::string_view key, bool existed,
                    const auto& create) {
        const bool added = logging && state_.UninstallLog->RecordAhead(section, key, existed);
        if (create()) {
            return true;
        }
        if (added) {
            state_.UninstallLog->Withdraw(section, key);
        }
        return false;
    };

    const std::string question =
        group.empty() ? "Sollen die Verkn\xFCpfungen f\xFCr das Programm " + program +
                            " jetzt erstellt werden?"
                      : "Sollen die Verkn\xFCpfungen und die Programmgruppe f\xFCr das Programm " +
                            program + " jetzt erstellt werden?";
    const bool yes =
        MessageDlg(question, DialogKind::Confirmation, kButtonYes | kButtonNo) == answer::kYes;

    if (yes) {
        model_.SetBusyCursor(true);
        model_.SetCaption(kLblPrgGruppe, group.empty() ? std::string() : LastPathComponent(group));
        model_.SetVisible(kLabelPrgGruppe, true);
        model_.SetVisible(kLblPrgGruppe, true);
        ProcessMessages();

        if (!group.empty()) {
            const bool existed = platform::IsFolder(platform::CurrentOs().Files(), group);
            if (groupFolder &&
                make("ProgGruppe", group, existed, [&] { return CreateGroupFolder(group); })) {
                groupCreated = true;
            } else {
                result = false;
                MessageDlg(std::string(kGroupError) + group + "!", DialogKind::Error, kButtonOk);
            }
        }

        for (const std::string& key : script.ReadSectionKeys("ShortCuts")) {
            ShortcutValue value = SplitShortcutValue(script.ReadString("ShortCuts", key, ""));
            if (value.description.empty()) {
                value.description = key;
            }
            const std::string workingDirectory =
                value.workingDirectory.empty()
                    ? std::string()
                    : ExpandPlaceholders(value.workingDirectory, installDir, group);
            const std::string linkPath = ExpandPlaceholders(key, installDir, group);
            const std::string target = installDir + FileNameOf(linkPath);
            if (!IsExistingFile(target)) {
                continue;
            }
            // Only a full local path is written: a relative one (the group empty)
            // would land in the current folder, where the log can't name it.
            const std::string shortcut =
                CanonicalLocalPath(ReplaceExtension(linkPath, ".lnk")).value_or(std::string());
            // A file there may be the user's own: replaced only when the user agrees
            // ("&Alles": every further one too).
            if (!shortcut.empty() && !replaceAll && IsExistingFile(shortcut)) {
                const int answer =
                    MessageDlg(ShortcutQuestion(shortcut, target), DialogKind::Confirmation,
                               kButtonYes | kButtonNo | kButtonAll);
                replaceAll = answer == answer::kAll;
                if (answer != answer::kYes && !replaceAll) {
                    continue;
                }
            }
            // Made or replaced, it points into this installation and goes with it: a
            // replaced one kept would point at nothing.
            if (shortcut.empty() || !make("ShortCuts", shortcut, false, [&] {
                    return CreateShortcut(target, shortcut, value.description, workingDirectory);
                })) {
                result = false;
                MessageDlg(std::string(kShortcutError) + linkPath + "!", DialogKind::Error,
                           kButtonOk);
            }
        }
        model_.SetBusyCursor(false);
    }

    if (state_.UninstallerPlaced) {
        const std::string folder = groupCreated ? group : installDir;
        // A program name that makes it no local path (a colon, say) gets none.
        const std::optional<std::string> shortcut = CanonicalLocalPath(
            folder + ReplaceExtension(FileNameOf(state_.UninstallExePath), ".lnk"));
        // It points at the uninstaller, which the uninstall removes: it goes too,
        // also when an earlier installation left it there.
        if (shortcut && !make("ShortCuts", *shortcut, false, [&] {
                return CreateShortcut(
                    state_.UninstallExePath, *shortcut,
                    program.empty() ? std::string("Deinstallation") : program + " deinstallieren",
                    "");
            })) {
            result = false;
            MessageDlg(
                std::string(kShortcutError) + folder + FileNameOf(state_.UninstallExePath) + "!",
                DialogKind::Error, kButtonOk);
        }
    }
    ProcessMessages();

    if (yes) {
        platform::CurrentOs().System().Sleep(1000);
        for (auto name : {kLabelPrgGruppe, kLblPrgGruppe, kMsgPrgGruppeCancel}) {
            model_.SetVisible(name, false);
        }
        model_.SetVisible(result ? kMsgPrgGruppeErfolg : kMsgPrgGruppeFehler, true);
    } else {
        model_.SetVisible(kMsgPrgGruppeCancel, true);
    }
    reenable.done = true;
    model_.SetEnabled(kBtnWeiter, true);
    model_.SetFocus(kBtnWeiter);
    return result;
}

}  // namespace setup::app
