#include "app/CreateFolderPath.h"

#include <string>

#include "platform/Os.h"
#include "platform/TemporaryBeside.h"
#include "system/Error.h"
#include "system/PathHelpers.h"

namespace setup::app {

bool CreateFolderPath(std::string_view folder, const std::function<void(std::string_view)>& made) {
    if (folder.empty()) {
        throw SetupError("Das Verzeichnis kann nicht erstellt werden");
    }
    std::string path(folder);
    if (path.back() == '\\') {
        path.pop_back();
    }
    platform::FileSystem& files = platform::CurrentOs().Files();
    // A bare drive ("C:"), or nothing left of a lone backslash, is made by no one.
    if (path.size() <= 2) {
        return platform::IsFolder(files, path + '\\');
    }
    if (platform::IsFolder(files, path)) {
        return true;
    }
    std::string parent = FolderOf(path);
    if (parent != path) {
        CreateFolderPath(parent, made);
    }
    if (files.CreateFolder(path)) {
        if (made) {
            made(path);
        }
        return true;
    }
    // Not made here: perhaps made meanwhile by someone else.
    return platform::IsFolder(files, path);
}

}  // namespace setup::app
