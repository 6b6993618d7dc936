// The steps of the scenario language: how many arguments each takes and what it
// does through the runner. The runner looks a step up by its verb ("click",
// "expect file", ...); a new step is one row of the table in RunnerSteps.cpp.
#pragma once

#include <cstddef>
#include <string>

#include "Runner.h"

namespace e2e {

struct StepKind {
    std::size_t minArgs;
    std::size_t maxArgs;  // words beyond the last argument belong to it
    void (*run)(Runner& runner, const Args& args);
};

// The step of that verb; nullptr for an unknown one.
const StepKind* FindStep(const std::wstring& verb);

}  // namespace e2e
