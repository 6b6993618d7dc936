#include "PosixInput.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "platform/posix/Cp1252.h"
#include "platform/posix/ShellLinkFile.h"

namespace setup::simulator {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsTextFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".ini" || extension == ".txt" || extension == ".csv";
}

}  // namespace

bool PosixInput::MapMedium(std::string_view folder) {
    fs::path host = firstMedium_ / fs::path(platform::posix::Cp1252ToUtf8(folder));
    if (!fs::is_directory(host)) {
        return false;
    }
    if (convert_) {
        host = ConvertedCopy(host, root_ / ("medium" + std::to_string(++changes_)));
    }
    os_.MapDrive(drive_, fs::absolute(host));
    return true;
}

std::vector<PosixInput::OpenCall> PosixInput::OpenCalls() const {
    std::vector<OpenCall> calls;
    for (const auto& call : os_.ShellOpenCalls()) {
        calls.push_back({call.path, call.result});
    }
    return calls;
}

std::optional<PosixInput::Shortcut> PosixInput::ReadShortcut(std::string_view path) {
    auto fields = platform::posix::ReadShortcutFile(os_.Files(), path);
    if (!fields) {
        return std::nullopt;
    }
    return Shortcut{fields->target, fields->description, fields->workingDirectory};
}

fs::path ConvertedCopy(const fs::path& medium, const fs::path& copy) {
    fs::remove_all(copy);
    fs::create_directories(copy);
    for (const auto& entry : fs::recursive_directory_iterator(medium)) {
        fs::path target = copy / fs::relative(entry.path(), medium);
        if (entry.is_directory()) {
            fs::create_directories(target);
        } else if (IsTextFile(entry.path())) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string text = platform::posix::Utf8ToCp1252(ReadAll(in));
            std::string windows;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
                    windows += '\r';
                windows += text[i];
            }
            std::ofstream(target, std::ios::binary) << windows;
        } else {
            fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
        }
    }
    return copy;
}

}  // namespace setup::simulator
