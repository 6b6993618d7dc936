// The copy phase of the wizard. Until it is built, the step succeeds at once.
#include "app/MainForm.h"

namespace setup::app {

bool TMainForm::CopyFiles() {
    return true;
}

}  // namespace setup::app
