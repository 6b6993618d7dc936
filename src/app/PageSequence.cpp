// The page sequence: one click handler moves the wizard forward and runs the
// step of the page it arrives on; the info text page in front of it; the
// uninstall log that is started each time the target-folder page is left.
#include <array>
#include <optional>
#include <string_view>

#include "app/MainForm.h"
#include "app/TextFile.h"
#include "app/WidgetNames.h"
#include "system/Error.h"
#include "system/PathHelpers.h"
#include "system/RegistryValues.h"
#include "system/SystemFolders.h"

namespace setup::app {
namespace {

// The page panel of each PageIndex from 0 to 3; page 4 has none.
constexpr std::array<std::string_view, 4> kPagePanels = {kPanelVerzWahl, kPanelAuswahl,
                                                         kPanelKopieren, kPanelPrgGruppe};

// Switches the hourglass cursor on for the life of a step.
class BusyCursor {
  public:
    explicit BusyCursor(WidgetModel& model) : model_(model) { model_.SetBusyCursor(true); }
    ~BusyCursor() { model_.SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    WidgetModel& model_;
};

}  // namespace

void TMainForm::ShowInfoText(std::string_view fileName, bool showOk, bool showYes, bool showNo,
                             bool showCancel) {
    std::string path(fileName);
    if (path.find_first_of("\\:") == std::string::npos) {
        path = state_.SourceDir + path;
    }
    auto text = LoadTextFile(path);
    if (!text) {
        return;
    }
    model_.SetCaption(kMemoInfos, *text);
    model_.SetVisible(kMemoInfos, true);
    model_.SetVisible(kBtnOK, showOk);
    model_.SetVisible(kBtnYes, showYes);
    model_.SetVisible(kBtnNo, showNo);
    model_.SetVisible(kBtnWeiter, false);
    model_.SetVisible(kBtnCancel, showCancel);
    // Enter presses the focused button, and the page has no default one: left on
    // the folder field under the memo, the focus would make Enter do nothing.
    for (auto name : {kBtnOK, kBtnYes, kBtnNo}) {
        if (model_.Get(name).visible) {
            model_.SetFocus(name);
            break;
        }
    }
}

void TMainForm::OpenUninstallLog() {
    const std::string& name = Caption(kProgName);
    state_.UninstallIniPath = WindowsFolder() + "Uninstall " + TrimNameEnd(name) + ".ini";
    state_.UninstallExePath = ReplaceExtension(state_.UninstallIniPath, ".exe");
    state_.UninstallLogOpen = true;
    if (state_.TestMode) {
        return;
    }
    // The file may hold the log of an earlier installation of the program: its
    // records are kept.
    UninstallLogFile& log = state_.UninstallLog.emplace(state_.UninstallIniPath,
                                                        ReadEarlierLog(state_.UninstallIniPath));
    log.Set("Programm", "Name", name);
    // Next to the name, so that a log cut anywhere still names the uninstall entry.
    const std::string softwareKey =
        IniFile(state_.ScriptPath).ReadString("Registry", "SoftwareKey", "");
    // A key the registry step would refuse is not recorded either.
    if (IsSingleKeyName(softwareKey)) {
        log.Set("Programm", "SoftwareKey", softwareKey);
        // An earlier run's record of the entry must not contradict it.
        if (!log.Read("Registry", "SoftwareKey").empty()) {
            log.Set("Registry", "SoftwareKey", softwareKey);
        }
    }
    log.Save();
}

void TMainForm::BtnWeiterClick() {
    // A click that arrives while the sequence pumps messages (a double click on
    // "&Weiter..") must not run the sequence a second time inside the first.
    if (sequenceRunning_) {
        return;
    }
    sequenceRunning_ = true;
    struct Guard {
        TMainForm& form;
        ~Guard() {
            form.sequenceRunning_ = false;
            // What the steps did while the log could not be written is missing from it.
            if (form.state_.UninstallLog && form.state_.UninstallLog->Failed()) {
                form.state_.InstallOk = false;
            }
        }
    } guard{*this};

    int& pageIndex = state_.PageIndex;
    if (pageIndex == page::kInfoText) {
        for (auto name : {kMemoInfos, kBtnOK, kBtnYes, kBtnNo}) {
            model_.SetVisible(name, false);
        }
        for (auto name : {kPanelVerzWahl, kBtnWeiter, kBtnCancel}) {
            model_.SetVisible(name, true);
        }
        model_.SetEnabled(kBtnCancel, true);
        model_.SetFocus(kEditInstallDir);
        pageIndex = page::kTargetFolder;
        return;
    }

    if (pageIndex == page::kTargetFolder) {
        for (auto name : {kBtnOK, kBtnYes, kBtnNo}) {
            model_.SetVisible(name, false);
        }
        model_.SetVisible(kBtnWeiter, true);
        SetInstallDir(AddTrailingBackslash(InstallDir()));
        if (state_.UninstallerPresent) {
            OpenUninstallLog();
        }
        state_.InstallOk = PrepareTargetFolder();
    }

    if (pageIndex >= page::kModules || (pageIndex == page::kTargetFolder && state_.InstallOk)) {
        ++pageIndex;
        if (pageIndex == page::kModules && !state_.SelectionEnabled) {
            ++pageIndex;
        }
    }
    model_.SetVisible(kBtnWeiter, pageIndex < page::kFinish);
    model_.SetEnabled(kBtnCancel, pageIndex < page::kFinish);
    for (int i = 0; i < static_cast<int>(kPagePanels.size()); ++i) {
        model_.SetVisible(kPagePanels[static_cast<std::size_t>(i)], i == pageIndex);
    }

    // Paint the new page before a long step begins.
    ProcessMessages();
    std::optional<BusyCursor> busy;
    if (pageIndex >= page::kModules) {
        busy.emplace(model_);
    }

    if (pageIndex == page::kModules && state_.InstallOk) {
        if (!FillModuleLists()) {
            pageIndex = page::kCopy;
            model_.SetVisible(kPanelAuswahl, false);
            model_.SetVisible(kPanelKopieren, true);
        }
    }
    if (pageIndex == page::kCopy) {
        if (!CopyFiles()) {
            state_.InstallOk = false;
        }
    }
    if (pageIndex == page::kProgramGroup) {
        if (!CreateProgramGroup()) {
            state_.InstallOk = false;
        }
        if (!state_.TestMode) {
            try {
                WriteRegistryEntries();
            } catch (const SetupError& error) {
                // What was written stays logged; the finish page reports the failure.
                state_.InstallOk = false;
                ShowErrorBox(error.Message());
            }
        }
    }
    if (pageIndex == page::kFinish) {
        ShowFinishPage();
    }
}

}  // namespace setup::app
