#ifndef _WIN32

#include "support/SystemSnapshot.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string_view>

namespace setup::testing {
namespace {

constexpr std::string_view kRegistryFile = "registry.txt";

// One entry per "[key]" line, holding the value lines that follow it.
void AddRegistryKeys(const std::string& text, SystemState& entries) {
    std::string* key = nullptr;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(begin, end - begin);
        begin = end;
        if (line.starts_with('[')) {
            key = &entries[std::string(kRegistryFile) + " " + line.substr(0, line.find('\n'))];
        } else if (key != nullptr) {
            *key += line;
        }
    }
}

}  // namespace

SystemState Snapshot(const std::filesystem::path& root) {
    SystemState entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_directory()) {
            entries[name] = "<folder>";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::string content(std::istreambuf_iterator<char>(in), {});
        if (name == kRegistryFile) {
            AddRegistryKeys(content, entries);
            continue;
        }
        struct stat info {};
        if (stat(entry.path().c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0) {
            content += " <read-only>";
        }
        entries[name] = std::move(content);
    }
    return entries;
}

std::vector<std::string> Differences(const SystemState& expected, const SystemState& actual) {
    std::vector<std::string> differences;
    auto show = [](const SystemState& state, const std::string& name) {
        auto found = state.find(name);
        return found == state.end() ? std::string("<missing>") : found->second;
    };
    SystemState all = expected;
    all.insert(actual.begin(), actual.end());
    for (const auto& [name, ignored] : all) {
        if (show(expected, name) != show(actual, name)) {
            differences.push_back(name + ": expected " + show(expected, name) + "\n  got " +
                                  show(actual, name));
        }
    }
    return differences;
}

}  // namespace setup::testing

#endif  // _WIN32
