// The finish page: what [Starten] offers, what starts when, the shell's failures
// in their English words, and the end through "&Starten".
#include "app/WidgetNames.h"
#include "support/WizardTest.h"

namespace setup::app {
namespace {

constexpr std::string_view kSuccess =
    "Die Installation der Programmdateien war erfolgreich. Klicken Sie auf die [&Beenden]-Taste, "
    "um den Installationsvorgang abzuschließen.";
constexpr std::string_view kOffer =
    ", oder klicken Sie auf die [&Starten]-Taste, um das Programm auszuführen.";

class FinishPage : public FormTest {
  protected:
    // Runs the wizard to the finish page.
    TMainForm& ToFinish(std::string_view starten) {
        WriteScript("[ProgInfos]\nZielVerz=C:\\Ziel\n[Starten]\n" + std::string(starten));
        TMainForm& form = CreateForm();
        form.Paint();
        for (int click = 0; click < 3; ++click) {
            form.Click(kBtnWeiter);
        }
        EXPECT_EQ(form.State().PageIndex, page::kFinish);
        return form;
    }

    std::string Opened() {
        std::string text;
        for (const auto& call : windows_.Os().ShellOpenCalls()) {
            text += call.path + ";";
        }
        return text;
    }
};

struct StartCase {
    const char* starten;
    bool optional;  // both buttons, appended texts
    const char* automatic;
    const char* byButton;
};

TEST_F(FinishPage, EntriesDecideButtonsTextsAndStarts) {
    const StartCase cases[] = {
        {"@@INSTDIR@@PROG.EXE=0\n", false, "", "C:\\Ziel\\PROG.EXE;"},
        {"PROG.EXE=\n", true, "", "PROG.EXE;"},
        {"@@INSTDIR@@LIESMICH.TXT,1=1\nPROG.EXE,0=0\nPROG1=0\nP.EXE,21=5\n", true,
         "C:\\Ziel\\LIESMICH.TXT;P.EXE;", "PROG.EXE;PROG1;"},
        {"A.EXE=7\nB.EXE=x\n", true, "", "A.EXE;B.EXE;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.starten);
        windows_.Os().SetOpenResult(".EXE", 33);
        windows_.Os().SetOpenResult(".TXT", 33);
        windows_.Os().SetOpenResult("PROG1", 33);
        const std::size_t before = windows_.Os().ShellOpenCalls().size();
        TMainForm& form = ToFinish(c.starten);
        const auto& model = form.Model();
        EXPECT_TRUE(model.Get(kBtnStarten).visible);
        EXPECT_TRUE(model.Get(kBtnCancel).enabled);
        EXPECT_EQ(model.Get(kBtnBeenden).visible, c.optional);
        if (c.optional) {
            EXPECT_EQ(model.Get(kErfolgsmeldung).caption,
                      std::string(kSuccess) + std::string(kOffer));
            EXPECT_TRUE(
                model.Get(kFehlermeldung)
                    .caption.ends_with(std::string("abzuschließen.") + std::string(kOffer)));
        } else {
            EXPECT_EQ(model.Get(kErfolgsmeldung).caption,
                      "Der Installationsvorgang war erfolgreich! Klicken Sie auf die "
                      "[&Starten]-Taste, um das Programm zu starten und die Installation "
                      "abzuschließen.");
            EXPECT_EQ(model.Focused(), kBtnStarten);
        }
        const auto& calls = windows_.Os().ShellOpenCalls();
        std::string automatic;
        for (std::size_t i = before; i < calls.size(); ++i) {
            automatic += calls[i].path + ";";
        }
        EXPECT_EQ(automatic, c.automatic);
        const std::size_t afterPage = calls.size();
        const std::size_t dialogsBefore = host_.Dialogs().size();
        ASSERT_TRUE(form_->Click(kBtnStarten));
        std::string byButton;
        for (std::size_t i = afterPage; i < calls.size(); ++i) {
            byButton += calls[i].path + ";";
        }
        EXPECT_EQ(byButton, c.byButton);
        EXPECT_TRUE(host_.ProgramEnded());
        EXPECT_EQ(host_.Dialogs().size(), dialogsBefore);
    }
}

TEST_F(FinishPage, WithoutEntriesOnlyBeendenIsOffered) {
    TMainForm& form = ToFinish("");
    EXPECT_FALSE(form.Model().Get(kBtnStarten).visible);
    EXPECT_FALSE(form.Model().Get(kBtnCancel).enabled);
    EXPECT_EQ(form.Model().Get(kErfolgsmeldung).caption, kSuccess);
    EXPECT_TRUE(form.Model().Get(kErfolgsmeldung).visible);
    EXPECT_TRUE(windows_.Os().ShellOpenCalls().empty());
}

TEST_F(FinishPage, AFailedInstallationShowsTheErrorAndStillStarts) {
    WriteScript("[ProgInfos]\nZielVerz=C:\\Ziel\n[Dateien]\nX_BAD.ZIP@1=\n[Starten]\nP.EXE=0\n");
    windows_.Os().SetOpenResult("P.EXE", 42);
    windows_.WriteFile("D:\\X_BAD.ZIP", "no archive");
    host_.QueueAnswer("OK");  // " ist keine ZipFile!"
    host_.QueueAnswer("OK");  // its error
    TMainForm& form = CreateForm();
    form.Paint();
    form.Click(kBtnWeiter);
    form.Click(kBtnWeiter);
    form.Click(kBtnWeiter);
    EXPECT_FALSE(form.State().InstallOk);
    EXPECT_FALSE(form.Model().Get(kErfolgsmeldung).visible);
    EXPECT_EQ(form.Model().Get(kFehlermeldung).caption,
              "Während der Installation sind Fehler aufgetreten! Klicken Sie auf die "
              "[&Beenden]-Taste, um die Installation abzuschließen.");
    ASSERT_TRUE(form.Click(kBtnStarten));
    EXPECT_EQ(Opened(), "P.EXE;");
}

TEST_F(FinishPage, StartenDeletesTheReadOnlyScriptCopy) {
    windows_.Os().SetOpenResult("P.EXE", 42);
    TMainForm& form = ToFinish("P.EXE=0\n");
    ASSERT_TRUE(windows_.Exists("C:\\Ziel\\Setup.ini"));
    windows_.Os().Files().SetAttributes("C:\\Ziel\\Setup.ini", platform::attr::kReadOnly);
    ASSERT_TRUE(form.Click(kBtnStarten));
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\Setup.ini"));
    EXPECT_TRUE(form.State().Finished);
}

TEST_F(FinishPage, MoreThan255EntriesAllStart) {
    std::string starten;
    for (int i = 0; i < 300; ++i) {
        starten += "P" + std::to_string(i) + ".EXE,1=1\n";
    }
    windows_.Os().SetOpenResult(".EXE", 42);
    ToFinish(starten);
    EXPECT_EQ(windows_.Os().ShellOpenCalls().size(), 300u);
}

TEST_F(FinishPage, ShellFailuresAreToldInEnglish) {
    const std::pair<int, const char*> cases[] = {
        {0, "The operating system is out of memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid."},
        {26, "A sharing violation occurred."},
        {27, "The filename association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30,
         "The DDE transaction could not be completed because other DDE transactions were being "
         "processed."},
        {31, "There is no application associated with the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, ""},
        {33, nullptr},
    };
    TMainForm& form = CreateForm();
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        host_.Dialogs().clear();
        windows_.Os().SetOpenResult("C:\\X.DOC", code);
        if (text != nullptr) {
            host_.QueueAnswer("OK");
        }
        form.OpenWithShell("C:\\X.DOC");
        ASSERT_EQ(host_.Dialogs().size(), text != nullptr ? 1u : 0u);
        if (text != nullptr) {
            EXPECT_EQ(host_.Dialogs()[0].text, text);
            EXPECT_EQ(host_.Dialogs()[0].caption, "Fehler");
            EXPECT_EQ(host_.Dialogs()[0].buttons.size(), 1u);
        }
    }
    // Unconfigured: a file that is missing is not found.
    windows_.Os().SetOpenResult("C:\\X.DOC", std::nullopt);
    host_.QueueAnswer("OK");
    form.OpenWithShell("C:\\X.DOC");
    EXPECT_EQ(host_.Dialogs().back().text, "The specified file was not found.");
}

}  // namespace
}  // namespace setup::app
