// The registry step of the wizard. Until it is built, it writes nothing.
#include "app/MainForm.h"

namespace setup::app {

void TMainForm::WriteRegistryEntries() {}

}  // namespace setup::app
