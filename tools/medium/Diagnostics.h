// What `medium check` reports: one finding per line of the script, in the form
// compilers use ("Setup.ini:LINE: error: TEXT [RULE]"), so that editors jump to it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace setup::medium {

enum class Severity { Warning, Error };

struct Diagnostic {
    std::size_t line = 0;  // 0: the script as a whole (or no script at all)
    Severity severity = Severity::Error;
    std::string rule;  // the rule's short name, as docs/setup-ini.md lists it
    std::string text;  // Windows-1252
};

// "Setup.ini:12: error: TEXT [rule]" ("Setup.ini: error: ..." without a line).
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// "N errors, N warnings" (singular for one).
std::string Summary(const std::vector<Diagnostic>& diagnostics);

bool HasError(const std::vector<Diagnostic>& diagnostics);

}  // namespace setup::medium
