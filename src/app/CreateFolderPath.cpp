#include "app/CreateFolderPath.h"

#include <string>

#include "platform/Os.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup::app {

bool IsExistingFolder(std::string_view path) {
    std::uint32_t attributes = platform::CurrentOs().Files().GetAttributes(path);
    return attributes != platform::attr::kInvalid && (attributes & platform::attr::kDirectory) != 0;
}

void CreateFolderPath(std::string_view folder) {
    if (folder.empty()) {
        throw SetupError("Das Verzeichnis kann nicht erstellt werden");
    }
    std::string path(folder);
    if (path.back() == '\\') {
        path.pop_back();
    }
    // A bare drive ("C:"), or nothing left of a lone backslash, needs nothing.
    if (path.size() <= 2 || IsExistingFolder(path)) {
        return;
    }
    std::string parent = FolderOf(path);
    if (parent != path) {
        CreateFolderPath(parent);
    }
    platform::CurrentOs().Files().CreateFolder(path);
}

}  // namespace setup::app
