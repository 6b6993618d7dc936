#include "InfoZip.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <unistd.h>

namespace setup::zipenc::testing {
namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace

bool InfoZipAvailable() {
    return access(kUnzip, X_OK) == 0;
}

CommandResult RunCommand(const std::string& command) {
    struct PipeCloser {
        int* status;
        void operator()(FILE* pipe) const { *status = pclose(pipe); }
    };
    int status = -1;
    CommandResult result;
    {
        std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"), PipeCloser{&status});
        if (!pipe) {
            throw std::runtime_error("cannot run: " + command);
        }
        std::uint8_t buffer[65536];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
            result.output.insert(result.output.end(), buffer, buffer + got);
        }
    }
    result.exitCode = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    return result;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("setup-zipenc-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::Write(const std::string& fileName,
                                           std::span<const std::uint8_t> bytes) {
    const std::filesystem::path file = path_ / fileName;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file;
}

CommandResult TestArchive(const std::filesystem::path& archive) {
    return RunCommand(std::string(kUnzip) + " -t -q " + Quoted(archive.string()) + " 2>&1");
}

CommandResult ExtractEntry(const std::filesystem::path& archive, const std::string& name) {
    return RunCommand(std::string(kUnzip) + " -p " + Quoted(archive.string()) + " " + Quoted(name) +
                      " 2>/dev/null");
}

}  // namespace setup::zipenc::testing
