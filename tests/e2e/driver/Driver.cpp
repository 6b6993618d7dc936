// The user-level test driver: starts Setup.exe and works it only through what a
// user reaches (windows and controls found by caption or class, clicks, typing,
// keys), then checks the outcome on the drive, in the registry and through the
// shell. A scenario is a text file with one step per line; tests/e2e/README.md
// lists the steps.
//
// Usage: driver SCENARIO [--shots FOLDER] [--check]
// --check only reads the scenario and checks every step's form.
// Exit status 0 when every step held, 1 when a step failed, 2 for a bad scenario.
//
// The scenario reader (ScenarioReader.cpp) turns the file into steps; the runner
// (Runner.cpp, its steps in RunnerSteps.cpp, its checks in RunnerExpectations.cpp)
// carries them out.

#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Console.h"
#include "Runner.h"
#include "ScenarioReader.h"
#include "Screen.h"

namespace e2e {
namespace {

void SetShellFolderVariable(const wchar_t* name, int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) {
        SetEnvironmentVariableW(name, path);
    }
}

int Main(int argc, wchar_t** argv) {
    if (argc < 2) {
        Print(L"usage: driver SCENARIO [--shots FOLDER] [--check]\n");
        return 2;
    }
    const std::wstring scenario = argv[1];
    std::wstring shots;
    bool checkOnly = false;
    for (int i = 2; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--shots" && i + 1 < argc) {
            shots = argv[++i];
        } else if (std::wstring(argv[i]) == L"--check") {
            checkOnly = true;
        }
    }
    std::wstring name = scenario.substr(scenario.find_last_of(L"\\/:") + 1);
    name = name.substr(0, name.rfind(L'.'));

    SetShellFolderVariable(L"PROGRAMS", CSIDL_PROGRAMS);
    SetShellFolderVariable(L"DESKTOP", CSIDL_DESKTOPDIRECTORY);
    SetShellFolderVariable(L"PROGRAMFILES", CSIDL_PROGRAM_FILES);

    std::vector<Step> steps;
    if (!ReadScenario(scenario, steps)) {
        Print(L"driver: can't read " + scenario + L"\n");
        return 2;
    }
    Runner runner(name, shots, scenario.substr(0, scenario.find_last_of(L"\\/:") + 1));
    // Every step is checked first, also those a guard leaves out, so that a
    // scenario waiting for a feature stays well-formed.
    for (const Step& step : steps) {
        try {
            runner.Checked(step);
        } catch (const Failure& failure) {
            Print(L"driver: " + step.file + L":" + std::to_wstring(step.line) + L": " + step.text +
                  L": " + failure.What() + L"\n");
            return 2;
        }
    }
    if (checkOnly) {
        Print(L"well-formed " + name + L" (" + std::to_wstring(steps.size()) + L" steps)\n");
        return 0;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.skipped) {
            continue;
        }
        try {
            runner.Run(step);
            Print(L"ok   " + step.file + L":" + std::to_wstring(step.line) + L": " + step.text +
                  L"\n");
        } catch (const Failure& failure) {
            Print(L"FAIL " + name + L" step " + std::to_wstring(i + 1) + L" (" + step.file + L":" +
                  std::to_wstring(step.line) + L"): " + step.text + L"\n  " + failure.What() +
                  L"\n  the screen shows:\n" + DescribeScreen());
            runner.Screenshot(L"FAILED");
            return 1;
        }
    }
    const auto run =
        std::count_if(steps.begin(), steps.end(), [](const Step& s) { return !s.skipped; });
    Print(L"passed " + name + L" (" + std::to_wstring(run) + L" steps run, " +
          std::to_wstring(steps.size() - static_cast<std::size_t>(run)) +
          L" left for features to come)\n");
    return 0;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    return e2e::Main(argc, argv);
}
