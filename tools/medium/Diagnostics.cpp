#include "Diagnostics.h"

#include <algorithm>

namespace setup::medium {
namespace {

std::string Count(std::size_t n, std::string_view word) {
    return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

}  // namespace

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    std::string line = "Setup.ini:";
    if (diagnostic.line != 0) {
        line += std::to_string(diagnostic.line) + ":";
    }
    line += diagnostic.severity == Severity::Error ? " error: " : " warning: ";
    line += diagnostic.text + " [" + diagnostic.rule + "]";
    return line;
}

std::string Summary(const std::vector<Diagnostic>& diagnostics) {
    const auto errors = static_cast<std::size_t>(
        std::count_if(diagnostics.begin(), diagnostics.end(),
                      [](const Diagnostic& d) { return d.severity == Severity::Error; }));
    return Count(errors, "error") + ", " + Count(diagnostics.size() - errors, "warning");
}

bool HasError(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

}  // namespace setup::medium
