#include "system/ShellOpenErrors.h"

#include <utility>

namespace setup {

std::string_view ShellOpenErrorText(std::intptr_t result) {
    static constexpr std::pair<std::intptr_t, std::string_view> kTexts[] = {
        {0, "The operating system is out of memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid."},
        {26, "A sharing violation occurred."},
        {27, "The filename association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30,
         "The DDE transaction could not be completed because other DDE transactions were being "
         "processed."},
        {31, "There is no application associated with the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    for (const auto& [code, text] : kTexts) {
        if (code == result) {
            return text;
        }
    }
    return {};
}

}  // namespace setup
