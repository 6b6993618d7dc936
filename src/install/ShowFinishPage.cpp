// The finish page: the result of the installation, and what [Starten] offers to
// start, optionally or as the only way to finish.
#include <algorithm>

#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "platform/Os.h"

namespace setup::app {
namespace {

constexpr std::string_view kSection = "Starten";

}  // namespace

void TMainForm::ShowFinishPage() {
    model_.SetVisible(kBtnBeenden, true);
    model_.SetFocus(kBtnBeenden);
    const IniFile script(state_.ScriptPath);
    const std::vector<std::string> keys = script.ReadSectionKeys(kSection);
    if (!keys.empty()) {
        const bool optional = std::any_of(keys.begin(), keys.end(), [&script](const auto& key) {
            return script.ReadInteger(kSection, key, 1) == 1;
        });
        model_.SetVisible(kBtnStarten, true);
        model_.SetEnabled(kBtnCancel, true);
        if (optional) {
            constexpr std::string_view kOffer =
                ", oder klicken Sie auf die [&Starten]-Taste, um das Programm auszuf\xFChren.";
            for (auto label : {kErfolgsmeldung, kFehlermeldung}) {
                model_.SetCaption(label, Caption(label) + std::string(kOffer));
            }
        } else {
            model_.SetVisible(kBtnBeenden, false);
            model_.SetFocus(kBtnStarten);
            model_.SetCaption(kErfolgsmeldung,
                              "Der Installationsvorgang war erfolgreich! Klicken Sie auf die "
                              "[&Starten]-Taste, um das Programm zu starten und die Installation "
                              "abzuschlie\337en.");
            model_.SetCaption(
                kFehlermeldung,
                "W\xE4hrend der Installation sind Fehler aufgetreten! Klicken Sie auf "
                "die [&Beenden]-Taste, um die Installation abzuschlie\337en.");
        }
        StartPrograms(true);
    }
    model_.SetVisible(kErfolgsmeldung, state_.InstallOk);
}

// "&Starten": the entries not started automatically, then the end of the installer.
void TMainForm::BtnStartenClick() {
    StartPrograms(false);
    ProcessMessages();
    platform::CurrentOs().System().Sleep(1000);
    DeleteScriptCopy();
    state_.Finished = true;
    Close();
}

}  // namespace setup::app
