// The state of an emulated Windows, to compare it with itself at another time:
// every file and folder under its root (the drives) with content and read-only
// state, and its registry file one entry per key ("registry.txt [ROOT\key]" with
// that key's value lines), so that a difference names the key. Native suites only.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace setup::testing {

using SystemState = std::map<std::string, std::string>;

SystemState Snapshot(const std::filesystem::path& root);

// The names whose entries differ between two snapshots, with both versions.
std::vector<std::string> Differences(const SystemState& expected, const SystemState& actual);

}  // namespace setup::testing
