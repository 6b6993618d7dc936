// Fixture for wizard tests: an emulated Windows with the medium as drive D:
// (the program runs as D:\SETUP.EXE), a script written there, and sessions run
// through the same runner as the console simulator.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainForm.h"
#include "support/EmulatedWindows.h"
#include "ui/headless/HeadlessHost.h"
#include "ui/headless/Session.h"

namespace setup::app {

using ui::headless::HeadlessHost;
using ui::headless::RunSession;
using ui::headless::SessionResult;
using ui::headless::SimulatedInput;

class PosixInput final : public SimulatedInput {
  public:
    explicit PosixInput(platform::PosixOs& os) : os_(os) {}
    void SetPumpHook(std::function<void()> hook) override { os_.SetPumpHook(std::move(hook)); }
    void SetKeyDown(int virtualKey, bool down) override { os_.SetKeyDown(virtualKey, down); }
    bool SetProgramPath(std::string_view path) override {
        os_.SetProgramPath(std::string(path));
        return true;
    }

  private:
    platform::PosixOs& os_;
};

class WizardTest : public ::testing::Test {
  protected:
    // A script without any file list stops the copy phase with a warning; tests
    // of the other pages get one file of a module never chosen, which must be on
    // the medium but is neither installed nor logged, so that the wizard runs
    // through. Tests of an empty list write the script with WriteFile.
    void WriteScript(std::string_view ini) {
        std::string text(ini);
        if (text.find("[Dateien]") == std::string::npos &&
            text.find("[Diskette") == std::string::npos) {
            text += "\n[Dateien]\nNie#Leer.txt=\n";
            windows_.WriteFile("D:\\Leer.txt", "");
        }
        windows_.WriteFile("D:\\Setup.ini", text);
    }

    // Runs a session; the script's own "expect" lines make the test fail.
    SessionResult Run(std::string_view script, std::vector<std::string> arguments = {}) {
        PosixInput input(windows_.Os());
        SessionResult result = RunSession(script, arguments, input);
        for (const auto& failure : result.failures) {
            ADD_FAILURE() << failure;
        }
        if (!result.failures.empty()) {
            ADD_FAILURE() << Joined(result.transcript);
        }
        return result;
    }

    // Runs a session that is expected to fail; returns its transcript.
    SessionResult RunExpectingFailure(std::string_view script) {
        PosixInput input(windows_.Os());
        SessionResult result = RunSession(script, {}, input);
        EXPECT_FALSE(result.ok) << Joined(result.transcript);
        return result;
    }

    static std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) {
            text += line + "\n";
        }
        return text;
    }

    static std::vector<std::string> Dialogs(const SessionResult& result) {
        std::vector<std::string> dialogs;
        for (const auto& line : result.transcript) {
            if (line.starts_with("dialog ")) {
                dialogs.push_back(line);
            }
        }
        return dialogs;
    }

    static bool HasLine(const SessionResult& result, std::string_view text) {
        return std::any_of(result.transcript.begin(), result.transcript.end(),
                           [text](const std::string& line) { return line == text; });
    }

    testing::EmulatedWindows windows_;
};

// A form created directly, for tests of single operations.
class FormTest : public WizardTest {
  protected:
    TMainForm& CreateForm(std::vector<std::string> arguments = {}) {
        form_ = std::make_unique<TMainForm>(host_, std::move(arguments));
        form_->Create();
        return *form_;
    }

    HeadlessHost host_;
    std::unique_ptr<TMainForm> form_;
};

}  // namespace setup::app
