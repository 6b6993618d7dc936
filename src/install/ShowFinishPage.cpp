// The finish page. Until the [Starten] entries are handled, it offers only
// "&Beenden" and shows the result of the installation.
#include "app/MainForm.h"

namespace setup::app {

void TMainForm::ShowFinishPage() {
    model_.SetVisible("BtnBeenden", true);
    model_.SetFocus("BtnBeenden");
    model_.SetVisible("Erfolgsmeldung", state_.InstallOk);
}

// "&Starten": nothing to start yet; ends the installer as "&Beenden" does.
void TMainForm::BtnStartenClick() {
    ProcessMessages();
    DeleteScriptCopy();
    state_.Finished = true;
    Close();
}

}  // namespace setup::app
