// TMainForm: the one window of the installer with its handlers and the
// operations of the wizard steps. It works on the widget model only and reaches
// the window system through UiHost, the operating system through the seam.
//
// Renderer-facing entry points (Create, Paint, Click, RequestClose, ...) run the
// handler through one dispatcher: a SetupError ends the action and is shown in
// the general error box; nothing escapes. The dispatcher also ends the program
// once a confirmed close has happened and the outermost handler has returned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/InstallerState.h"
#include "app/MessageDialog.h"
#include "app/UiHost.h"
#include "app/WidgetModel.h"
#include "system/IniFile.h"

namespace setup::app {

// Classification of an earlier installation; the order matters (the info page
// is shown under Anzeigen=1 for values below ExistingNotUpdatableParallel).
enum ExistingInstallResult : int {
    ExistingNoVersion = 0,
    ExistingOlder = 1,
    ExistingSame = 2,
    ExistingNewer = 3,
    ExistingNotUpdatableParallel = 4,
    ExistingNotUpdatable = 5,
    ExistingNoFolder = 6,
};

struct ExistingInstallation {
    std::string version;  // the installed version as compared and shown
    int result = ExistingNoVersion;
    std::string folder;  // empty: no earlier installation found
};

struct ExistingVersion {
    int result = ExistingNoVersion;
    std::string version;
};

class TMainForm {
  public:
    // `arguments` are the command-line arguments after the program's name.
    TMainForm(UiHost& host, std::vector<std::string> arguments);
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    WidgetModel& Model() { return model_; }
    const WidgetModel& Model() const { return model_; }
    InstallerState& State() { return state_; }
    const InstallerState& State() const { return state_; }

    // --- Entry points for a renderer -------------------------------------------
    void Create();  // once, before the window is shown
    void Paint();   // every paint of the window
    // A click on the named button; false (and nothing done) when the element is no
    // button, is not showing and enabled, or the window is closing.
    bool Click(std::string_view widget);
    void RequestClose();  // the close box, the system menu, Alt+F4
    // User input copied into the model.
    void UserEditedText(std::string_view widget, std::string_view text);
    void UserSelected(std::string_view list, std::size_t index, bool selected);
    // The renderer loaded the logo picture with this size (pixels at 96 DPI).
    void LogoPictureLoaded(int width, int height);
    // The program has ended (EndProgram was called).
    bool Ended() const { return ended_; }
    // A close was confirmed (or the program told to end); dialogs answer at once.
    bool Closing() const { return closing_; }
    // True while a handler runs (a step may be pumping messages).
    bool InHandler() const { return depth_ > 0; }

    // --- Handlers ---------------------------------------------------------------
    void FormCreate();
    void FormPaint();
    bool FormCloseQuery();
    void FormDestroy();
    void BtnWeiterClick();
    void BtnCancelClick();
    void BtnNoClick();
    void BtnBeendenClick();
    void BtnStartenClick();
    void BtnSuchenClick();
    void SBRechtsClick();
    void SBLinksClick();
    void SBAlleLinksClick();
    void SBAllesRechtsClick();

    // --- Start-up and the script ------------------------------------------------
    void ReadScriptSettings();
    void ApplyLogoGeometry();
    void ShowInfoText(std::string_view fileName, bool showOk, bool showYes, bool showNo,
                      bool showCancel);

    // --- Existing installation check --------------------------------------------
    void RunStartChecks();
    ExistingInstallation LookupExistingInstallation();
    ExistingVersion EvaluateExistingVersion(std::string_view folder);
    // The message of the decision table for a result code; asks and acts on the answer.
    void AskAboutExistingInstallation(const ExistingInstallation& found);

    // --- Target folder page -----------------------------------------------------
    std::string BrowseForFolder(int rootCsidl, std::string_view title);
    bool PrepareTargetFolder();

    // --- Module selection page --------------------------------------------------
    bool FillModuleLists();
    bool IsModuleSelected(std::string_view module);
    int ModuleFlag(std::string_view module);
    bool IsWindowsNT();

    // --- Later steps ------------------------------------------------------------
    bool CopyFiles();
    bool CreateProgramGroup();
    // One level of folder; an existing folder counts as created. True at once in test mode.
    bool CreateGroupFolder(std::string_view path);
    // Writes one shortcut file through TShellLink; true when it was saved.
    bool CreateShortcut(std::string_view target, std::string_view linkFile,
                        std::string_view description, std::string_view workingDirectory);
    void WriteRegistryEntries();
    void ShowFinishPage();

    // --- Installing one file (FileResult codes) ---------------------------------
    // `folder` ends in a backslash; `answer` is the copy phase's last dialog answer,
    // read for "&Alles" and left holding what decided this file. `sourceDate` is
    // the source's FileDateOf, read once by the caller (-1: no such file).
    int CopyOneFile(std::string_view source, std::int32_t sourceDate, std::string_view folder,
                    int& answer);
    int ExtractOneFile(std::string_view archive, std::int32_t sourceDate, std::string_view folder,
                       int& answer);
    int AskOverwrite(std::string_view existing, std::string_view newName, std::uint32_t newDate);
    // Upper-cased target path of every file the current copy phase started to install.
    const std::vector<std::string>& InstalledTargets() const { return installedTargets_; }

    // --- Finish page --------------------------------------------------------------
    void StartPrograms(bool automatic);
    void OpenWithShell(std::string_view path);

    // --- Window services for the steps ------------------------------------------
    // A message dialog of the installer; answers "Abbrechen" at once after a
    // confirmed close.
    int MessageDlg(std::string_view text, DialogKind kind, DialogButtons buttons);
    int ShowDialog(const MessageDialog& dialog);
    void ShowErrorBox(std::string_view message);
    // Closes the window through FormCloseQuery.
    void Close();
    // Ends the program without asking, when the current handler returns.
    void Terminate();
    // Lets the window handle pending messages (the seam's message pump).
    void ProcessMessages();
    // The text of the target-folder field.
    const std::string& InstallDir() const;
    void SetInstallDir(std::string_view text);
    const std::string& Caption(std::string_view widget) const;

  private:
    template <typename Action>
    void Dispatch(Action&& action);
    void MoveSelected(std::string_view from, std::string_view to);
    void SelectAll(std::string_view list);
    void OpenUninstallLog();
    void DeleteScriptCopy();
    struct CopyRun;
    void InstallListedFiles(const IniFile& script, const std::vector<std::string>& keys,
                            CopyRun& run);
    std::optional<std::string> TargetFolder(const IniFile& script, const std::string& key);
    int InstallOneFile(bool archive, std::string_view source, std::int32_t sourceDate,
                       std::string_view folder, int& answer);
    // For a target that is the uninstall log or the uninstaller, the end of the
    // copy phase's message after "Die Datei NAME"; empty for any other target.
    std::string_view RefusedTargetText(std::string_view target) const;
    int ShowTargetAndAsk(std::string_view source, std::string& target, std::string_view newName,
                         std::uint32_t newDate, int& answer);
    // The shipped uninstaller put beside the log: a FileResult, negative when it
    // could not be placed.
    int PlaceUninstaller(const std::string& lastTargetFolder, int& answer);
    // A file that failed: reported with the copy phase's message, the run no
    // longer successful; "Abbrechen" ends it.
    void ReportFailedFile(int result, std::string_view fileName, CopyRun& run);

    UiHost& host_;
    std::vector<std::string> arguments_;
    WidgetModel model_;
    InstallerState state_;
    std::vector<std::string> installedTargets_;
    int depth_ = 0;
    bool sequenceRunning_ = false;  // BtnWeiterClick is running (maybe pumping)
    bool closing_ = false;
    bool ended_ = false;
    bool destroyed_ = false;
};

}  // namespace setup::app
