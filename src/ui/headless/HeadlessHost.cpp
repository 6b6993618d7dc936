#include "ui/headless/HeadlessHost.h"

#include "install/FileResult.h"
#include "system/PathHelpers.h"
#include "ui/headless/Transcript.h"

namespace setup::ui::headless {
namespace {

using app::DialogIcon;
using app::MessageDialog;
namespace answer = app::answer;

std::string_view IconName(DialogIcon icon) {
    switch (icon) {
        case DialogIcon::Warning:
            return "exclamation";
        case DialogIcon::Stop:
            return "stop";
        case DialogIcon::Information:
            return "information";
        case DialogIcon::Question:
            return "question";
        case DialogIcon::None:
            break;
    }
    return "no icon";
}

}  // namespace

std::string WithoutAmpersand(std::string_view caption) {
    std::string plain;
    for (char c : caption) {
        if (c != '&') {
            plain += c;
        }
    }
    return plain;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string DescribeDialog(const MessageDialog& dialog) {
    std::string line = "dialog \"" + dialog.caption + "\" (" + std::string(IconName(dialog.icon)) +
                       "): \"" + Escaped(dialog.text) + "\" [";
    bool first = true;
    for (const auto& button : dialog.buttons) {
        line += first ? "" : " | ";
        line += button.caption;
        if (button.answer == dialog.defaultAnswer) {
            line += "*";
        }
        first = false;
    }
    return line + "]";
}

int AnswerForCaption(const MessageDialog& dialog, std::string_view caption) {
    for (const auto& button : dialog.buttons) {
        if (button.caption == caption) {
            return button.answer;
        }
    }
    int found = answer::kNone;
    int matches = 0;
    for (const auto& button : dialog.buttons) {
        if (EqualsNoCase(WithoutAmpersand(button.caption), WithoutAmpersand(caption))) {
            found = button.answer;
            ++matches;
        }
    }
    return matches == 1 ? found : answer::kNone;
}

int HurriedAnswer(const MessageDialog& dialog) {
    for (std::string_view caption : {"&Ja", "OK", "&Weiter.."}) {
        for (const auto& button : dialog.buttons) {
            if (button.caption == caption) {
                return button.answer;
            }
        }
    }
    return dialog.defaultAnswer;
}

bool HeadlessHost::TakeHurriedStep(std::string_view what) {
    if (hurryLeft_ > 0) {
        --hurryLeft_;
        return true;
    }
    Fail(
        "hurry: more than " + std::to_string(hurryLimit_) +
        " clicks and answers, the installer goes round in circles; the last: " + std::string(what));
    return false;
}

void HeadlessHost::Fail(std::string message) {
    transcript_.push_back("!! " + message);
    failures_.push_back(std::move(message));
}

void HeadlessHost::FileHandled(std::string_view source, std::string_view target, int result) {
    transcript_.push_back(install::DescribeHandledFile(source, target, result));
    if (model_ != nullptr) {
        if (auto drawn = DrawnPathsLine(*model_, source, target)) {
            transcript_.push_back(std::move(*drawn));
        }
    }
}

int HeadlessHost::ShowDialog(const MessageDialog& dialog) {
    dialogs_.push_back(dialog);
    if (dialogHook_) {
        dialogHook_(dialog);
    }
    std::string line = DescribeDialog(dialog);
    if (answers_.empty() && hurried_) {
        if (hurryLeft_ == 0) {
            transcript_.push_back(line + " -> (no answer left)");
            TakeHurriedStep("the dialog \"" + Escaped(dialog.text) + "\"");  // fails the run
            return dialog.escapeAnswer;
        }
        TakeHurriedStep({});
        const int reply = HurriedAnswer(dialog);
        transcript_.push_back(line + " -> " + std::string(CaptionOfAnswer(dialog, reply)));
        return reply;
    }
    if (answers_.empty()) {
        transcript_.push_back(line + " -> (no answer queued)");
        Fail("unexpected dialog: \"" + Escaped(dialog.text) + "\"");
        return dialog.escapeAnswer;
    }
    std::string caption = std::move(answers_.front());
    answers_.pop_front();
    int reply = AnswerForCaption(dialog, caption);
    if (reply == answer::kNone) {
        transcript_.push_back(line + " -> " + caption + "?");
        Fail("the dialog has no button \"" + caption + "\"");
        return dialog.escapeAnswer;
    }
    transcript_.push_back(line + " -> " + std::string(CaptionOfAnswer(dialog, reply)));
    return reply;
}

void HeadlessHost::DialogClosedAtOnce(const MessageDialog& dialog) {
    dialogs_.push_back(dialog);
    transcript_.push_back(DescribeDialog(dialog) + " -> closed at once: Abbrechen");
}

std::string HeadlessHost::BrowseForFolder(int rootCsidl, std::string_view title,
                                          std::string_view initialFolder) {
    std::string line = "folder dialog (root " + std::to_string(rootCsidl) + ") \"" +
                       std::string(title) + "\" opening on \"" + std::string(initialFolder) + "\"";
    if (browses_.empty()) {
        transcript_.push_back(line + " -> (no answer queued)");
        Fail("unexpected folder dialog");
        return {};
    }
    auto chosen = std::move(browses_.front());
    browses_.pop_front();
    transcript_.push_back(line + " -> " + (chosen ? "\"" + *chosen + "\"" : "cancel"));
    return chosen.value_or("");
}

void HeadlessHost::EndProgram() {
    ended_ = true;
    transcript_.push_back("program ended");
}

}  // namespace setup::ui::headless
