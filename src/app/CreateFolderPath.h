// Creating a folder together with every missing parent folder.
#pragma once

#include <functional>
#include <string_view>

namespace setup::app {

// Creates the folder and its missing parents. An empty text, also an empty parent
// met on the way (a relative one-component name such as "Neu"), raises the
// SetupError "Das Verzeichnis kann nicht erstellt werden". True when the folder
// exists afterwards, whether made now or there before.
// `made` learns each folder this call created (outermost first, without the
// trailing backslash) as soon as it exists, so that it can be logged before
// anything is written into it.
bool CreateFolderPath(std::string_view folder,
                      const std::function<void(std::string_view)>& made = {});

}  // namespace setup::app
