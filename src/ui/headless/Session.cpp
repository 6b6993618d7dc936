// The session runner: carries out the script's actions one by one through a
// table of verbs, runs scheduled actions at the logic's message pumps, and
// writes the screen to the transcript whenever it changed.
#include "ui/headless/Session.h"

#include "platform/Os.h"
#include "ui/headless/ScriptReader.h"
#include "ui/headless/SessionVerbs.h"
#include "ui/headless/Transcript.h"

namespace setup::ui::headless {
namespace {

class Session {
  public:
    // The shell's "open" calls of an earlier session on the same system are not
    // this one's.
    Session(const std::vector<std::string>& arguments, SimulatedInput& input)
        : context_(arguments, input),
          arguments_(arguments),
          openCallsShown_(input.OpenCalls().size()) {}

    SessionResult Run(std::string_view script) {
        context_.input.SetPumpHook([this] { OnPump(); });
        context_.host.SetModel(&context_.form.Model());
        context_.host.SetDialogHook([this](const app::MessageDialog&) { OnDialog(); });
        context_.showScreen = [this] { ShowScreenIfChanged(); };
        context_.openWindow = [this] {
            if (!started_) {
                Start();
            }
        };
        for (const ScriptAction& action : ReadScript(script)) {
            if (Stopped()) {
                break;
            }
            context_.line = action.line;
            // Answers and events for the start-up may come before the window opens.
            // A session that runs the uninstaller first never opens it.
            const Verb* verb = FindVerb(action.verb);
            if (!started_ && !context_.uninstallExit && (verb == nullptr || verb->opensWindow)) {
                Start();
            }
            Execute(action, false);
            ShowScreenIfChanged();
        }
        if (!started_ && !Stopped() && !context_.uninstallExit) {
            Start();
        }
        context_.input.SetPumpHook({});
        context_.host.SetDialogHook({});
        ShowOpenCalls();
        Finish();
        SessionResult result;
        result.failures = context_.host.Failures();
        result.ok = result.failures.empty();
        result.transcript = std::move(context_.host.Transcript());
        result.dialogs = std::move(context_.host.Dialogs());
        result.installOk = started_ && context_.form.State().InstallOk;
        result.uninstallLog = context_.form.State().UninstallIniPath;
        result.uninstallExit = context_.uninstallExit;
        return result;
    }

  private:
    std::vector<std::string>& Out() { return context_.host.Transcript(); }
    bool Stopped() const { return !context_.host.Failures().empty(); }
    void Fail(std::string_view message) { context_.Fail(message); }

    void Start() {
        started_ = true;
        Out().push_back(StartLine(platform::CurrentOs().System().ProgramPath(), arguments_));
        context_.form.Create();
        Out().push_back(WindowLine(context_.form.Model()));
        context_.form.Paint();
        ShowScreenIfChanged();
    }

    void Finish() {
        for (const auto& event : context_.scheduled) {
            context_.line = event.line;
            Fail("\"" + event.action + "\" was due at pump " + std::to_string(event.pump) +
                 ", but the logic pumped messages " + std::to_string(context_.pumps) + " times");
        }
        if (!context_.media.empty()) {
            context_.host.Fail(std::to_string(context_.media.size()) +
                               " medium change(s) left unused, the first \"" +
                               context_.media.front() + "\"");
        }
        if (!context_.host.PendingAnswers().empty()) {
            context_.host.Fail(std::to_string(context_.host.PendingAnswers().size()) +
                               " dialog answer(s) left unused, the first \"" +
                               context_.host.PendingAnswers().front() + "\"");
        }
        if (context_.host.PendingBrowses() != 0) {
            context_.host.Fail(std::to_string(context_.host.PendingBrowses()) +
                               " folder dialog answer(s) left unused");
        }
        if (started_) {
            WriteEnd(Out(), context_.form, context_.host.ProgramEnded());
        }
    }

    // The shell's "open" calls since the last look, one line each.
    void ShowOpenCalls() {
        auto calls = context_.input.OpenCalls();
        for (; openCallsShown_ < calls.size(); ++openCallsShown_) {
            const auto& call = calls[openCallsShown_];
            Out().push_back("open " + call.path + " -> " + std::to_string(call.result));
        }
    }

    // A dialog appears: a pending medium change happens first (the user swaps
    // the medium when the installer asks for it).
    void OnDialog() {
        ShowOpenCalls();
        if (context_.media.empty()) {
            return;
        }
        std::string folder = std::move(context_.media.front());
        context_.media.erase(context_.media.begin());
        Out().push_back("medium: D: is now " + folder);
        if (!context_.input.MapMedium(folder)) {
            Fail("can't use \"" + folder + "\" as the medium");
        }
    }

    void ShowScreenIfChanged() {
        ShowOpenCalls();
        if (!started_ || context_.host.ProgramEnded()) {
            return;
        }
        std::string screen = ScreenLine(context_.form);
        if (screen != lastScreen_) {
            Out().push_back(screen);
            lastScreen_ = std::move(screen);
        }
    }

    void OnPump() {
        ++context_.pumps;
        ShowScreenIfChanged();
        for (std::size_t i = 0; i < context_.scheduled.size() && !Stopped();) {
            if (context_.scheduled[i].pump != context_.pumps) {
                ++i;
                continue;
            }
            ScheduledAction event = context_.scheduled[i];
            context_.scheduled.erase(context_.scheduled.begin() + static_cast<std::ptrdiff_t>(i));
            int outerLine = context_.line;
            context_.line = event.line;
            Out().push_back(AtPumpLine(context_.pumps, event.action));
            Execute(ReadAction(event.action), true);
            ShowScreenIfChanged();
            context_.line = outerLine;
        }
    }

    void Execute(const ScriptAction& action, bool scheduled) {
        // Expectations speak only when they are not met.
        if (!scheduled && action.verb != "expect") {
            Out().push_back(ActionLine(action.text));
        }
        const Verb* verb = FindVerb(action.verb);
        if ((verb == nullptr || verb->needsProgram) && context_.host.ProgramEnded()) {
            Fail("the program has ended");
            return;
        }
        if (verb == nullptr) {
            Fail("unknown action \"" + std::string(action.verb) + "\"");
            return;
        }
        verb->run(context_, action.rest, action.verb);
    }

    SessionContext context_;
    std::vector<std::string> arguments_;
    std::size_t openCallsShown_ = 0;
    std::string lastScreen_;
    bool started_ = false;
};

}  // namespace

SessionResult RunSession(std::string_view script, const std::vector<std::string>& arguments,
                         SimulatedInput& input) {
    Session session(arguments, input);
    return session.Run(script);
}

}  // namespace setup::ui::headless
