// Creating a folder together with every missing parent folder.
#pragma once

#include <string_view>

namespace setup::app {

// Creates the folder and its missing parents. An empty text, also an empty parent
// met on the way (a relative one-component name such as "Neu"), raises the
// SetupError "Das Verzeichnis kann nicht erstellt werden". A folder that can't be
// created is not reported: the caller looks whether it exists afterwards.
void CreateFolderPath(std::string_view folder);

}  // namespace setup::app
