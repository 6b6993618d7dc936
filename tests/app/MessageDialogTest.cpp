#include <gtest/gtest.h>

#include "app/MessageDialog.h"

namespace setup::app {
namespace {

std::string Captions(const MessageDialog& d) {
    std::string text;
    for (const auto& b : d.buttons) {
        text += (text.empty() ? "" : ",") + std::string(b.caption);
    }
    return text;
}

struct ButtonCase {
    DialogButtons buttons;
    const char* captions;
    int defaultAnswer;
    int escapeAnswer;
};

TEST(MessageDialog, ButtonOrderDefaultAndEscape) {
    const ButtonCase cases[] = {
        {kButtonOk, "OK", answer::kOk, answer::kOk},
        {kButtonOk | kButtonCancel, "OK,Abbrechen", answer::kOk, answer::kCancel},
        {kButtonYes | kButtonNo, "&Ja,&Nein", answer::kYes, answer::kNo},
        {kButtonCancel | kButtonNo | kButtonYes, "&Ja,&Nein,Abbrechen", answer::kYes,
         answer::kCancel},
        {kButtonIgnore | kButtonRetry | kButtonAbort, "&Abbrechen,&Wiederholen,&Ignorieren",
         answer::kRetry, answer::kNone},
        {kButtonHelp | kButtonYesToAll | kButtonNoToAll | kButtonAll | kButtonNo,
         "&Nein,&Alles,&Alle Nein,A&lle Ja,&Hilfe", answer::kNone, answer::kNo},
        {kButtonOk | kButtonYes, "&Ja,OK", answer::kOk, answer::kOk},
    };
    for (const auto& c : cases) {
        MessageDialog d = MakeMessageDialog("x", DialogKind::Warning, c.buttons, "T");
        EXPECT_EQ(Captions(d), c.captions);
        EXPECT_EQ(d.defaultAnswer, c.defaultAnswer) << c.captions;
        EXPECT_EQ(d.escapeAnswer, c.escapeAnswer) << c.captions;
    }
}

TEST(MessageDialog, AnswerNumbers) {
    MessageDialog d = MakeMessageDialog("x", DialogKind::Plain, 0x7FF, "T");
    const int expected[] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, answer::kNone};
    ASSERT_EQ(d.buttons.size(), std::size(expected));
    for (std::size_t i = 0; i < d.buttons.size(); ++i) {
        EXPECT_EQ(d.buttons[i].answer, expected[i]) << d.buttons[i].caption;
    }
}

TEST(MessageDialog, CaptionAndIconByKind) {
    const std::pair<DialogKind, std::pair<const char*, DialogIcon>> kinds[] = {
        {DialogKind::Warning, {"Warnung", DialogIcon::Warning}},
        {DialogKind::Error, {"Fehler", DialogIcon::Stop}},
        {DialogKind::Information, {"Information", DialogIcon::Information}},
        {DialogKind::Confirmation, {"Bestätigen", DialogIcon::Question}},
        {DialogKind::Plain, {"Firma Installation", DialogIcon::None}},
    };
    for (const auto& [kind, expected] : kinds) {
        MessageDialog d = MakeMessageDialog("x", kind, kButtonOk, "Firma Installation");
        EXPECT_EQ(d.caption, expected.first);
        EXPECT_EQ(d.icon, expected.second);
    }
}

TEST(MessageDialog, ErrorBoxHasTitleStopIconAndFullStop) {
    MessageDialog d = MakeErrorBox("Das Verzeichnis kann nicht erstellt werden", "A Installation");
    EXPECT_EQ(d.caption, "A Installation");
    EXPECT_EQ(d.icon, DialogIcon::Stop);
    EXPECT_EQ(Captions(d), "OK");
    EXPECT_EQ(d.text, "Das Verzeichnis kann nicht erstellt werden.");
    EXPECT_EQ(MakeErrorBox("Fehler!", "T").text, "Fehler!");
}

}  // namespace
}  // namespace setup::app
