#include "HostDrive.h"

#include <optional>
#include <stdexcept>
#include <system_error>

#include "HostNames.h"

#ifdef _WIN32
#include "platform/win32/Win32Os.h"
#else
#include <unistd.h>

#include "platform/posix/PosixOs.h"
#endif

namespace setup::medium {

namespace fs = std::filesystem;

#ifdef _WIN32

void AsWindowsFolder(const fs::path& folder, const std::function<void(const std::string&)>& body) {
    const platform::ScopedOs installed(platform::win32::ProcessOs());
    std::string path = Cp1252Of(fs::absolute(folder)).value_or(fs::absolute(folder).string());
    body(path.ends_with('\\') ? path : path + "\\");
}

#else

void AsWindowsFolder(const fs::path& folder, const std::function<void(const std::string&)>& body) {
    std::string pattern = (fs::temp_directory_path() / "medium-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("can't create a temporary folder");
    }
    // Removed last, after the system that uses it.
    struct Root {
        fs::path path;
        ~Root() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } root{pattern};
    platform::PosixOsConfig config;
    config.root = root.path;
    config.drives['M'] = fs::absolute(folder);
    config.bare = true;
    platform::PosixOs os(std::move(config));
    const platform::ScopedOs installed(os);
    body("M:\\");
}

#endif

std::vector<fs::path> ProgramFolders(const char* argv0) {
    std::vector<fs::path> folders;
    std::error_code error;
    const fs::path tool = fs::weakly_canonical(fs::absolute(argv0), error);
    folders.push_back(tool.parent_path());
    // build/<preset>/tools/medium/medium: the Windows build is build/win32/src/entry.
    for (fs::path up = tool.parent_path(); up.has_relative_path(); up = up.parent_path()) {
        for (const char* build : {"src/entry", "win32/src/entry", "build/win32/src/entry"}) {
            for (const char* sub : {"", "uninstall"}) {
                if (fs::is_directory(up / build / sub, error)) {
                    folders.push_back(up / build / sub);
                }
            }
        }
        if (folders.size() > 1) {
            break;
        }
    }
    return folders;
}

}  // namespace setup::medium
