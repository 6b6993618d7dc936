#include "install/DisketteFiles.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "system/PathHelpers.h"

namespace setup::install {
namespace {

// The numbers d of the script's sections "Diskette" + d (decimal, no leading
// zeros). Going through these rather than 1 .. "Anzahl" gives the same list
// without reading a huge count of missing sections one by one.
std::vector<std::int32_t> DisketteSections(const IniFile& script) {
    constexpr std::string_view kPrefix = "DISKETTE";
    std::vector<std::int32_t> numbers;
    for (const std::string& section : script.ReadSections()) {
        const std::string name = AsciiUpper(section);
        if (!name.starts_with(kPrefix) || name.size() == kPrefix.size() ||
            name[kPrefix.size()] < '1' || name[kPrefix.size()] > '9') {
            continue;
        }
        std::int32_t number = 0;
        const char* end = name.data() + name.size();
        auto [last, error] = std::from_chars(name.data() + kPrefix.size(), end, number);
        if (error == std::errc() && last == end) {
            numbers.push_back(number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

}  // namespace

std::size_t CollectDisketteFiles(const IniFile& script, std::vector<std::string>& keys) {
    const std::int32_t count = script.ReadInteger("Disketten", "Anzahl", 1);
    for (std::int32_t disk : DisketteSections(script)) {
        if (disk > count) {
            break;
        }
        for (std::string& key : script.ReadSectionKeys("Diskette" + std::to_string(disk))) {
            const bool known = std::any_of(keys.begin(), keys.end(), [&key](const std::string& k) {
                return EqualsNoCase(k, key);
            });
            if (!known) {
                keys.push_back(std::move(key));
            }
        }
    }
    return keys.size();
}

}  // namespace setup::install
