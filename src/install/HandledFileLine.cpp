#include "install/FileResult.h"

namespace setup::install {

std::string DescribeHandledFile(std::string_view source, std::string_view target, int result) {
    std::string_view outcome = "?";
    switch (result) {
        case ResultNew:
            outcome = "new";
            break;
        case ResultReplaced:
            outcome = "replaced";
            break;
        case ResultDeclined:
            outcome = "declined";
            break;
        case ResultSourceMissing:
            outcome = "source missing";
            break;
        case ResultCopyFailed:
            outcome = "failed";
            break;
        case ResultArchiveUnreadable:
            outcome = "archive unreadable";
            break;
        default:
            break;
    }
    std::string line = "file " + std::string(source) + " -> " + std::string(target) + ": ";
    return line + std::string(outcome);
}

}  // namespace setup::install
