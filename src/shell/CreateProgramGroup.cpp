// The program group step of the wizard. Until it is built, the step succeeds at once.
#include "app/MainForm.h"

namespace setup::app {

bool TMainForm::CreateProgramGroup() {
    return true;
}

}  // namespace setup::app
