#include "app/MainForm.h"

#include <exception>
#include <utility>

#include "app/MainWindowLayout.h"
#include "app/WidgetNames.h"
#include "platform/Os.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup::app {
namespace {

constexpr std::string_view kCloseQuestion =
    "Die Installation ist noch nicht vollständig. Möchten Sie diese wirklich abbrechen?";

}  // namespace

TMainForm::TMainForm(UiHost& host, std::vector<std::string> arguments)
    : host_(host), arguments_(std::move(arguments)) {
    BuildMainWindow(model_);
    model_.SetAppTitle("Installation");
}

// Runs one handler. An error ends the action where it stands and is shown in the
// general error box; the window stays. When the outermost handler returns after
// a confirmed close, the window is destroyed and the program ends.
template <typename Action>
void TMainForm::Dispatch(Action&& action) {
    if (ended_) {
        return;
    }
    ++depth_;
    try {
        try {
            action();
        } catch (const SetupError& error) {
            ShowErrorBox(error.Message());
        } catch (const std::exception& error) {
            ShowErrorBox(error.what());
        }
    } catch (...) {
        // The error box itself failed; there is nobody left to tell.
    }
    --depth_;
    if (depth_ == 0 && closing_ && !ended_) {
        ended_ = true;
        FormDestroy();
        host_.EndProgram();
    }
}

void TMainForm::Create() {
    Dispatch([this] { FormCreate(); });
}

void TMainForm::Paint() {
    Dispatch([this] { FormPaint(); });
}

bool TMainForm::Click(std::string_view widget) {
    using Handler = void (TMainForm::*)();
    static constexpr std::pair<std::string_view, Handler> kHandlers[] = {
        {kBtnWeiter, &TMainForm::BtnWeiterClick},
        {kBtnOK, &TMainForm::BtnWeiterClick},
        {kBtnYes, &TMainForm::BtnWeiterClick},
        {kBtnCancel, &TMainForm::BtnCancelClick},
        {kBtnNo, &TMainForm::BtnNoClick},
        {kBtnBeenden, &TMainForm::BtnBeendenClick},
        {kBtnStarten, &TMainForm::BtnStartenClick},
        {kBtnSuchen, &TMainForm::BtnSuchenClick},
        {kSBRechts, &TMainForm::SBRechtsClick},
        {kSBLinks, &TMainForm::SBLinksClick},
        {kSBAlleLinks, &TMainForm::SBAlleLinksClick},
        {kSBAllesRechts, &TMainForm::SBAllesRechtsClick},
    };
    // After a confirmed close the window only waits for the running step to end;
    // clicks no longer start anything.
    const Widget* w = model_.Find(widget);
    if (ended_ || closing_ || w == nullptr || !w->enabled || !model_.IsShowing(widget)) {
        return false;
    }
    for (const auto& [name, handler] : kHandlers) {
        if (name == widget) {
            Dispatch([this, handler = handler] { (this->*handler)(); });
            return true;
        }
    }
    return false;
}

void TMainForm::RequestClose() {
    Dispatch([this] { Close(); });
}

void TMainForm::UserEditedText(std::string_view widget, std::string_view text) {
    model_.SetCaption(widget, text);
}

void TMainForm::UserSelected(std::string_view list, std::size_t index, bool selected) {
    model_.SetSelected(list, index, selected);
}

// ---------------------------------------------------------------------------
// Start and end of the window.

void TMainForm::FormCreate() {
    auto& os = platform::CurrentOs();
    state_.SourceDir = FolderOf(os.System().ProgramPath());
    state_.ScriptFound = IsExistingFile(state_.SourceDir + "Setup.ini");
    state_.TestMode = !arguments_.empty() && AsciiUpper(arguments_.front()) == "/TEST";
    // Set before the script is read, so that an error while reading it (shown in
    // the error box) can't keep the start checks from running.
    state_.Finished = false;
    state_.UninstallLogOpen = false;
    state_.FirstPaintPending = true;
    state_.AskOnClose = true;
    ReadScriptSettings();
}

void TMainForm::FormPaint() {
    if (state_.FirstPaintPending) {
        state_.FirstPaintPending = false;
        RunStartChecks();
    }
}

bool TMainForm::FormCloseQuery() {
    if (state_.Finished || !state_.AskOnClose) {
        return true;
    }
    return MessageDlg(kCloseQuestion, DialogKind::Confirmation, kButtonYes | kButtonNo) ==
           answer::kYes;
}

void TMainForm::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    if (state_.UninstallLogOpen && state_.UninstallLog) {
        state_.UninstallLog.reset();
    }
}

void TMainForm::Close() {
    if (closing_) {
        return;
    }
    if (FormCloseQuery()) {
        closing_ = true;
    }
}

void TMainForm::Terminate() {
    closing_ = true;
}

void TMainForm::BtnCancelClick() {
    Close();
}

void TMainForm::BtnNoClick() {
    state_.AskOnClose = false;
    Close();
}

void TMainForm::BtnBeendenClick() {
    DeleteScriptCopy();
    state_.Finished = true;
    Close();
}

void TMainForm::DeleteScriptCopy() {
    // Only the copy this run made in the target folder; never the medium's script,
    // which is what ScriptPath names when the target is the setup program's folder.
    if (state_.ScriptCopied && state_.ScriptPath == InstallDir() + "Setup.ini") {
        auto& files = platform::CurrentOs().Files();
        files.SetAttributes(state_.ScriptPath, platform::attr::kNormal);
        files.DeleteFile(state_.ScriptPath);
    }
}

// ---------------------------------------------------------------------------
// Window services.

int TMainForm::MessageDlg(std::string_view text, DialogKind kind, DialogButtons buttons) {
    return ShowDialog(MakeMessageDialog(text, kind, buttons, model_.AppTitle()));
}

int TMainForm::ShowDialog(const MessageDialog& dialog) {
    if (closing_) {
        host_.DialogClosedAtOnce(dialog);
        return answer::kCancel;
    }
    return host_.ShowDialog(dialog);
}

void TMainForm::ShowErrorBox(std::string_view message) {
    ShowDialog(MakeErrorBox(message, model_.AppTitle()));
}

void TMainForm::ProcessMessages() {
    platform::CurrentOs().Thread().PumpMessages();
}

const std::string& TMainForm::InstallDir() const {
    return Caption(kEditInstallDir);
}

void TMainForm::SetInstallDir(std::string_view text) {
    model_.SetCaption(kEditInstallDir, text);
}

const std::string& TMainForm::Caption(std::string_view widget) const {
    return model_.Get(widget).caption;
}

}  // namespace setup::app
