#include "platform/posix/IniKeyIndex.h"

#include <set>

#include "base/AsciiText.h"

namespace setup::platform::posix {

IniKeyIndex::IniKeyIndex(const IniText& text) {
    // The unnamed section comes first, so a later "[]" is a repeat of it.
    std::set<std::string> sectionsSeen{std::string()};
    std::string section;  // the current section, empty while it repeats an earlier one
    bool skipping = false;
    for (const IniText::Located& line : text.Lines()) {
        if (line.header) {
            section = AsciiUpper(TrimProfileBlanks(line.section));
            skipping = !sectionsSeen.insert(section).second;
        } else if (!skipping) {
            // The first entry of a name wins; emplace keeps it.
            values_.emplace(std::pair(section, AsciiUpper(TrimProfileBlanks(line.key))),
                            line.value);
        }
    }
}

std::optional<std::string> IniKeyIndex::Find(std::string_view section, std::string_view key) const {
    const auto found = values_.find(
        std::pair(AsciiUpper(TrimProfileBlanks(section)), AsciiUpper(TrimProfileBlanks(key))));
    if (found == values_.end() || !found->second) {
        return std::nullopt;
    }
    return std::string(*found->second);
}

}  // namespace setup::platform::posix
