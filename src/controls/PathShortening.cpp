#include "controls/PathShortening.h"

namespace setup::controls {
namespace {

// Replaces the first folder of `folders` by "..." (an earlier "..." counts as no
// folder): "\A\B\" becomes "\...\B\", "\...\B\" becomes "\...\", "...\" becomes "".
void CutFirstFolder(std::string& folders) {
    if (folders == "\\") {
        folders.clear();
        return;
    }
    const bool rooted = folders.front() == '\\';
    if (rooted) {
        folders.erase(0, 1);
    }
    if (!folders.empty() && folders.front() == '.') {
        folders.erase(0, 4);
    }
    const std::size_t slash = folders.find('\\');
    folders = slash == std::string::npos ? std::string() : "...\\" + folders.substr(slash + 1);
    if (rooted) {
        folders.insert(0, 1, '\\');
    }
}

}  // namespace

std::string ShortenPath(std::string_view path, int maxWidth, Canvas& canvas) {
    std::string result(path);
    const std::size_t split = path.find_last_of("\\:");
    std::string folders(path.substr(0, split == std::string_view::npos ? 0 : split + 1));
    const std::string name(path.substr(folders.size()));
    std::string drive;
    if (folders.size() >= 2 && folders[1] == ':') {
        drive = folders.substr(0, 2);
        folders.erase(0, 2);
    }
    while ((!folders.empty() || !drive.empty()) && canvas.TextWidth(result) > maxWidth) {
        if (folders == "\\...\\") {
            drive.clear();
            folders = "...\\";
        } else if (folders.empty()) {
            drive.clear();
        } else {
            CutFirstFolder(folders);
        }
        result = drive + folders + name;
    }
    return result;
}

}  // namespace setup::controls
