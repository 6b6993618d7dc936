// The scenario reader: a scenario file (UTF-8, one step per line, tests/e2e/README.md)
// becomes the steps the runner carries out. Words are separated by blanks, "double
// quotes" keep blanks inside one; a guard "[feature]" marks a step that only runs
// once the feature has landed; "include FILE" reads the steps of a file beside the
// scenario; "not" asks for a step that fails; %NAME% is taken from the environment.
#pragma once

#include <string>
#include <vector>

namespace e2e {

struct Step {
    bool skipped = false;  // its guard does not hold: checked, not run
    bool negated = false;  // "not ...": the step must fail
    std::wstring file;     // the scenario or the file it includes
    int line = 0;
    std::wstring text;
    std::wstring verb;               // "click", "wait window", "expect file", ...
    std::vector<std::wstring> args;  // expanded
};

// Appends the steps of the scenario at `path`, included files in their place;
// false when it or a file it includes can't be read.
bool ReadScenario(const std::wstring& path, std::vector<Step>& steps);

}  // namespace e2e
