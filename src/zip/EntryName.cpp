#include "zip/EntryName.h"

#include "base/ReservedNames.h"

namespace setup::zip {
namespace {

bool IsParentReference(std::string_view component) {
    std::size_t dots = 0;
    for (char c : component) {
        if (c == '.') {
            ++dots;
        } else if (c != ' ') {
            return false;
        }
    }
    return dots >= 2;
}

}  // namespace

bool IsSafeEntryName(std::string_view name) {
    if (name.empty() || name.front() == '\\' || name.find(':') != std::string_view::npos ||
        HasControlCharacter(name)) {
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find('\\', start);
        const std::string_view component = name.substr(start, end - start);
        if (IsParentReference(component) || IsDosDeviceName(component)) {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

}  // namespace setup::zip
