// The installer's message dialogs, fully described in portable code: caption and
// icon by kind, German buttons in their fixed order with their answer numbers, and
// which button Enter and Escape reach. A renderer only draws what it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup::app {

enum class DialogKind {
    Warning,       // "Warnung", exclamation icon
    Error,         // "Fehler", stop icon
    Information,   // "Information", information icon
    Confirmation,  // "Bestätigen", question-mark icon
    Plain,         // the application title, no icon
};

enum class DialogIcon { None, Warning, Stop, Information, Question };

// Button flags; several are combined into a set.
enum DialogButton : std::uint32_t {
    kButtonYes = 1u << 0,
    kButtonNo = 1u << 1,
    kButtonOk = 1u << 2,
    kButtonCancel = 1u << 3,
    kButtonAbort = 1u << 4,
    kButtonRetry = 1u << 5,
    kButtonIgnore = 1u << 6,
    kButtonAll = 1u << 7,
    kButtonNoToAll = 1u << 8,
    kButtonYesToAll = 1u << 9,
    kButtonHelp = 1u << 10,
};
using DialogButtons = std::uint32_t;

// Answer numbers. "&Hilfe" has none: it does not close the dialog.
namespace answer {
inline constexpr int kNone = 0;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kAbort = 3;
inline constexpr int kRetry = 4;
inline constexpr int kIgnore = 5;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
inline constexpr int kAll = 8;
inline constexpr int kNoToAll = 9;
inline constexpr int kYesToAll = 10;
}  // namespace answer

struct DialogButtonInfo {
    DialogButton flag;
    std::string_view caption;  // with "&" before the accelerator letter
    int answer;                // answer::kNone for "&Hilfe"
};

struct MessageDialog {
    std::string caption;
    DialogIcon icon = DialogIcon::None;
    std::string text;  // passed as it is; "\n" and "\r" break lines as the renderer likes
    std::vector<DialogButtonInfo> buttons;  // in display order
    int defaultAnswer = answer::kNone;      // the button Enter presses (none: kNone)
    int escapeAnswer = answer::kNone;       // the answer of Escape and of closing the box
};

// The buttons of a set in the fixed display order.
std::vector<DialogButtonInfo> OrderedButtons(DialogButtons buttons);
// "OK" when present, else "&Ja", else "&Wiederholen"; kNone when none of them.
int DefaultAnswer(DialogButtons buttons);
// "Abbrechen" when present, else "&Nein", else "OK"; kNone when none of them.
int EscapeAnswer(DialogButtons buttons);
// The German caption of a kind; Plain takes the application title.
std::string DialogCaption(DialogKind kind, std::string_view appTitle);

MessageDialog MakeMessageDialog(std::string_view text, DialogKind kind, DialogButtons buttons,
                                std::string_view appTitle);
// The general error box for an error that ended a user action: application title,
// stop icon, "OK", and the text with "." appended when it ends in a character
// that sorts after ".".
MessageDialog MakeErrorBox(std::string_view message, std::string_view appTitle);

// The caption of the button answering `answer`, empty when the dialog has none.
std::string_view CaptionOfAnswer(const MessageDialog& dialog, int answer);

}  // namespace setup::app
