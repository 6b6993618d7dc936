#include "system/Error.h"

namespace setup {

std::string FormatMessage(std::string_view messageTemplate, std::string_view argument) {
    std::string text(messageTemplate);
    if (auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

}  // namespace setup
