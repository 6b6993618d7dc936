#include "platform/posix/PosixOs.h"

#include <system_error>

namespace setup::platform {
namespace {

constexpr char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::map<char, std::filesystem::path> DriveMap(const PosixOsConfig& config) {
    std::map<char, std::filesystem::path> drives;
    if (!config.bare) {
        drives['C'] = config.root / "c";
    }
    for (const auto& [letter, folder] : config.drives) {
        drives[letter] = folder;
    }
    return drives;
}

std::filesystem::path RegistryFile(const PosixOsConfig& config) {
    return config.registryFile.empty() ? config.root / "registry.txt" : config.registryFile;
}

std::filesystem::path MakeRoot(const std::filesystem::path& root) {
    std::error_code ignored;
    std::filesystem::create_directories(root, ignored);
    return root;
}

}  // namespace

PosixOs::PosixOs(PosixOsConfig config)
    : root_(MakeRoot(config.root)),
      paths_(DriveMap(config)),
      store_(RegistryFile(config)),
      profiles_(paths_, config.windowsFolder),
      registry_(store_),
      files_(paths_),
      system_({config.windowsFolder, config.systemFolder, config.windowsNT, config.programPath,
               config.fastSleep}),
      shell_(files_) {
    for (const auto& [letter, folder] : DriveMap(config)) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
    }
    for (const auto& [letter, type] : config.driveTypes) {
        files_.SetDriveType(letter, type);
    }
    if (config.bare) {
        return;
    }
    CreateFolders(config.windowsFolder);
    CreateFolders(config.systemFolder);
    if (store_.IsNew()) {
        PresetRegistry();
    }
    // The folders the registry names exist, as on an installed system.
    for (const char* name :
         {"ProgramFilesDir", "CommonFilesDir", "ConfigPath", "DevicePath", "MediaPath"}) {
        auto value = store_.GetValue(RegRoot::LocalMachine, kCurrentVersion, name);
        if (value && (value->type == RegType::String || value->type == RegType::ExpandString)) {
            CreateFolders(value->data.substr(0, value->data.find('\0')));
        }
    }
    PresetShellFolders();
}

void PosixOs::PresetRegistry() {
    const std::string windows = system_.WindowsFolder();
    SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "ProgramFilesDir", "C:\\Programme");
    SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "CommonFilesDir",
                      "C:\\Programme\\Gemeinsame Dateien");
    SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "ConfigPath", windows + "\\CONFIG");
    SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "DevicePath", windows + "\\INF");
    SetRegistryString(RegRoot::LocalMachine, kCurrentVersion, "MediaPath", windows + "\\MEDIA");
    // The software list's key is there on every system, so that an uninstall that
    // removes its entry leaves the registry as it was.
    store_.CreateKey(RegRoot::LocalMachine, std::string(kCurrentVersion) + "\\Uninstall");
}

void PosixOs::PresetShellFolders() {
    const std::string windows = system_.WindowsFolder();
    // "Startmenü", spelled so that it is Windows-1252 with any compiler.
    const std::string startMenu = windows + "\\Startmen\xFC";
    const std::pair<int, std::string> folders[] = {
        {csidl::kStartMenu, startMenu},
        {csidl::kPrograms, startMenu + "\\Programme"},
        {csidl::kStartup, startMenu + "\\Programme\\Autostart"},
        {csidl::kFavorites, windows + "\\Favoriten"},
        {csidl::kSendTo, windows + "\\SendTo"},
        {csidl::kDesktopDirectory, windows + "\\Desktop"},
    };
    for (const auto& [number, path] : folders) {
        CreateFolders(path);
        shell_.SetSpecialFolder(number, path);
    }
}

void PosixOs::MapDrive(char letter, std::filesystem::path folder) {
    paths_.MapDrive(letter, std::move(folder));
}

std::optional<std::filesystem::path> PosixOs::HostPath(std::string_view windowsPath) const {
    return paths_.ToHost(windowsPath);
}

bool PosixOs::CreateFolders(std::string_view windowsPath) {
    auto host = HostPath(windowsPath);
    if (!host) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(*host, error);
    return !error && std::filesystem::is_directory(*host, error);
}

bool PosixOs::SetRegistryValue(RegRoot root, std::string_view key, std::string_view name,
                               RegType type, std::string_view data) {
    return store_.CreateKey(root, key) && store_.SetValue(root, key, name, type, data);
}

bool PosixOs::SetRegistryString(RegRoot root, std::string_view key, std::string_view name,
                                std::string_view text) {
    std::string data(text);
    data += '\0';
    return SetRegistryValue(root, key, name, RegType::String, data);
}

bool PosixOs::SetRegistryNumber(RegRoot root, std::string_view key, std::string_view name,
                                std::uint32_t number) {
    const char data[4] = {static_cast<char>(number & 0xFF), static_cast<char>((number >> 8) & 0xFF),
                          static_cast<char>((number >> 16) & 0xFF),
                          static_cast<char>((number >> 24) & 0xFF)};
    return SetRegistryValue(root, key, name, RegType::Number, std::string_view(data, 4));
}

bool PosixOs::RemoveRegistryValue(RegRoot root, std::string_view key, std::string_view name) {
    return store_.RemoveValue(root, key, name);
}

bool PosixOs::RemoveRegistryKey(RegRoot root, std::string_view key) {
    return store_.RemoveKey(root, key);
}

bool PosixOs::SetRegistryValueUnreadable(RegRoot root, std::string_view key, std::string_view name,
                                         bool unreadable) {
    return store_.SetUnreadable(root, key, name, unreadable);
}

}  // namespace setup::platform
