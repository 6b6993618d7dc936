#include "app/MessageDialog.h"

#include "system/Error.h"

namespace setup::app {
namespace {

// The fixed display order of the buttons with their captions and answers.
constexpr DialogButtonInfo kAllButtons[] = {
    {kButtonYes, "&Ja", answer::kYes},
    {kButtonNo, "&Nein", answer::kNo},
    {kButtonOk, "OK", answer::kOk},
    {kButtonCancel, "Abbrechen", answer::kCancel},
    {kButtonAbort, "&Abbrechen", answer::kAbort},
    {kButtonRetry, "&Wiederholen", answer::kRetry},
    {kButtonIgnore, "&Ignorieren", answer::kIgnore},
    {kButtonAll, "&Alles", answer::kAll},
    {kButtonNoToAll, "&Alle Nein", answer::kNoToAll},
    {kButtonYesToAll, "A&lle Ja", answer::kYesToAll},
    {kButtonHelp, "&Hilfe", answer::kNone},
};

DialogIcon IconOf(DialogKind kind) {
    switch (kind) {
        case DialogKind::Warning:
            return DialogIcon::Warning;
        case DialogKind::Error:
            return DialogIcon::Stop;
        case DialogKind::Information:
            return DialogIcon::Information;
        case DialogKind::Confirmation:
            return DialogIcon::Question;
        case DialogKind::Plain:
            break;
    }
    return DialogIcon::None;
}

}  // namespace

std::vector<DialogButtonInfo> OrderedButtons(DialogButtons buttons) {
    std::vector<DialogButtonInfo> result;
    for (const auto& info : kAllButtons) {
        if ((buttons & info.flag) != 0) {
            result.push_back(info);
        }
    }
    return result;
}

int DefaultAnswer(DialogButtons buttons) {
    if ((buttons & kButtonOk) != 0)
        return answer::kOk;
    if ((buttons & kButtonYes) != 0)
        return answer::kYes;
    if ((buttons & kButtonRetry) != 0)
        return answer::kRetry;
    return answer::kNone;
}

int EscapeAnswer(DialogButtons buttons) {
    if ((buttons & kButtonCancel) != 0)
        return answer::kCancel;
    if ((buttons & kButtonNo) != 0)
        return answer::kNo;
    if ((buttons & kButtonOk) != 0)
        return answer::kOk;
    return answer::kNone;
}

std::string DialogCaption(DialogKind kind, std::string_view appTitle) {
    switch (kind) {
        case DialogKind::Warning:
            return "Warnung";
        case DialogKind::Error:
            return "Fehler";
        case DialogKind::Information:
            return "Information";
        case DialogKind::Confirmation:
            return "Best\xE4tigen";
        case DialogKind::Plain:
            break;
    }
    return std::string(appTitle);
}

MessageDialog MakeMessageDialog(std::string_view text, DialogKind kind, DialogButtons buttons,
                                std::string_view appTitle) {
    MessageDialog dialog;
    dialog.caption = DialogCaption(kind, appTitle);
    dialog.icon = IconOf(kind);
    dialog.text = std::string(text);
    dialog.buttons = OrderedButtons(buttons);
    dialog.defaultAnswer = DefaultAnswer(buttons);
    dialog.escapeAnswer = EscapeAnswer(buttons);
    return dialog;
}

MessageDialog MakeErrorBox(std::string_view message, std::string_view appTitle) {
    MessageDialog dialog =
        MakeMessageDialog(ErrorBoxText(message), DialogKind::Plain, kButtonOk, appTitle);
    dialog.icon = DialogIcon::Stop;
    return dialog;
}

std::string_view CaptionOfAnswer(const MessageDialog& dialog, int answerNumber) {
    for (const auto& button : dialog.buttons) {
        if (button.answer == answerNumber && answerNumber != answer::kNone) {
            return button.caption;
        }
    }
    return {};
}

}  // namespace setup::app
