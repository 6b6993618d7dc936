#include "app/CreateFolderPath.h"

#include <string>

#include "platform/Os.h"
#include "platform/TemporaryBeside.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup::app {

void CreateFolderPath(std::string_view folder, const std::function<void(std::string_view)>& made) {
    if (folder.empty()) {
        throw SetupError("Das Verzeichnis kann nicht erstellt werden");
    }
    std::string path(folder);
    if (path.back() == '\\') {
        path.pop_back();
    }
    // A bare drive ("C:"), or nothing left of a lone backslash, needs nothing.
    if (path.size() <= 2 || platform::IsFolder(platform::CurrentOs().Files(), path)) {
        return;
    }
    std::string parent = FolderOf(path);
    if (parent != path) {
        CreateFolderPath(parent, made);
    }
    if (platform::CurrentOs().Files().CreateFolder(path) && made) {
        made(path);
    }
}

}  // namespace setup::app
