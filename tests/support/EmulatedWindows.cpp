#ifndef _WIN32

#include "support/EmulatedWindows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace setup::testing {

TemporaryFolder::TemporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/setup-emulated-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("can't create a temporary folder");
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    // Read-only files need no special care: removing an entry needs only the
    // folder to be writable.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

platform::PosixOsConfig EmulatedWindows::DefaultConfig() {
    platform::PosixOsConfig config;
    config.programPath = "D:\\SETUP.EXE";
    config.fastSleep = true;
    return config;
}

EmulatedWindows::EmulatedWindows() : EmulatedWindows(DefaultConfig()) {}

EmulatedWindows::EmulatedWindows(platform::PosixOsConfig config) {
    config.root = root_.Path();
    config.drives.try_emplace(kMediumDrive, MediumFolder());
    os_ = std::make_unique<platform::PosixOs>(std::move(config));
    installed_ = std::make_unique<platform::ScopedOs>(*os_);
}

std::filesystem::path EmulatedWindows::HostPath(std::string_view windowsPath) const {
    auto host = os_->HostPath(windowsPath);
    if (!host) {
        ADD_FAILURE() << "no host path for " << windowsPath;
        throw std::invalid_argument("no host path");
    }
    return *host;
}

void EmulatedWindows::WriteFile(std::string_view windowsPath, std::string_view bytes) {
    const std::filesystem::path host = HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        ADD_FAILURE() << "can't write " << host;
    }
}

std::string EmulatedWindows::ReadFile(std::string_view windowsPath) const {
    std::ifstream in(HostPath(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool EmulatedWindows::Exists(std::string_view windowsPath) const {
    auto host = os_->HostPath(windowsPath);
    std::error_code ignored;
    return host && std::filesystem::exists(*host, ignored);
}

void EmulatedWindows::MakeFolder(std::string_view windowsPath) {
    if (!os_->CreateFolders(windowsPath)) {
        ADD_FAILURE() << "can't create " << windowsPath;
    }
}

}  // namespace setup::testing

#endif  // _WIN32
