// The window system without a display: dialogs and the folder dialog answer
// from queues filled in advance, and everything shown is written to a
// transcript. Used by the console simulator and the tests.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/UiHost.h"
#include "app/WidgetModel.h"

namespace setup::ui::headless {

class HeadlessHost final : public app::UiHost {
  public:
    // Lines of the transcript, in the order things happened.
    std::vector<std::string>& Transcript() { return transcript_; }
    // Problems of the run (an unexpected dialog, an answer the dialog lacks).
    const std::vector<std::string>& Failures() const { return failures_; }
    void Fail(std::string message);

    // The next dialog is answered with the button of this caption; the "&" may be
    // left out when the caption is still unique.
    void QueueAnswer(std::string caption) { answers_.push_back(std::move(caption)); }
    // The next folder dialog chooses this folder (nothing: the user cancels).
    void QueueBrowse(std::optional<std::string> folder) { browses_.push_back(std::move(folder)); }
    const std::deque<std::string>& PendingAnswers() const { return answers_; }
    std::size_t PendingBrowses() const { return browses_.size(); }

    // From now on a dialog without a queued answer is answered as a hurried user
    // does (HurriedAnswer), at most `limit` times together with TakeHurriedStep.
    void Hurry(int limit) {
        hurried_ = true;
        hurryLeft_ = hurryLimit_ = limit;
    }
    // One more hurried action, `what` (for the message); false (and the run fails)
    // when the limit is spent: a wizard that keeps asking would otherwise never end.
    bool TakeHurriedStep(std::string_view what);

    bool ProgramEnded() const { return ended_; }
    // Every dialog asked for, also those closed at once, in order.
    std::vector<app::MessageDialog>& Dialogs() { return dialogs_; }

    // Called with every dialog before it is answered (a test changes the medium
    // when the source prompt appears); an empty function removes it.
    void SetDialogHook(std::function<void(const app::MessageDialog&)> hook) {
        dialogHook_ = std::move(hook);
    }

    // The window's model, for what its labels draw (null: not known).
    void SetModel(const app::WidgetModel* model) { model_ = model; }

    int ShowDialog(const app::MessageDialog& dialog) override;
    // Writes the file as one transcript line (DescribeHandledFile), and the
    // shortened texts of the path labels when they are shortened.
    void FileHandled(std::string_view source, std::string_view target, int result) override;
    void DialogClosedAtOnce(const app::MessageDialog& dialog) override;
    std::string BrowseForFolder(int rootCsidl, std::string_view title,
                                std::string_view initialFolder) override;
    void EndProgram() override;

  private:
    std::vector<std::string> transcript_;
    std::vector<std::string> failures_;
    std::deque<std::string> answers_;
    std::deque<std::optional<std::string>> browses_;
    std::vector<app::MessageDialog> dialogs_;
    std::function<void(const app::MessageDialog&)> dialogHook_;
    const app::WidgetModel* model_ = nullptr;
    bool ended_ = false;
    bool hurried_ = false;
    int hurryLeft_ = 0;
    int hurryLimit_ = 0;
};

// A dialog as one transcript line (without the answer).
std::string DescribeDialog(const app::MessageDialog& dialog);
// Text for the transcript: line breaks and tabs written as \n, \r and \t.
std::string Escaped(std::string_view text);
// A caption without its accelerator marks ("&Weiter.." -> "Weiter..").
std::string WithoutAmpersand(std::string_view caption);
// The answer number of the button with this caption: exact first, then with
// the "&" left out; answer::kNone when no (unique) button matches.
int AnswerForCaption(const app::MessageDialog& dialog, std::string_view caption);
// What a hurried user answers: "&Ja", else "OK", else "&Weiter..", else the
// default button.
int HurriedAnswer(const app::MessageDialog& dialog);

}  // namespace setup::ui::headless
