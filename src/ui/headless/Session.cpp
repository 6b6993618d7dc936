// The session runner: carries out the script's actions one by one through a
// table of verbs, runs scheduled actions at the logic's message pumps, and
// writes the screen to the transcript whenever it changed.
#include "ui/headless/Session.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/MainForm.h"
#include "platform/Os.h"
#include "system/Error.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "system/RegistryValues.h"
#include "ui/headless/HeadlessHost.h"
#include "ui/headless/ScriptReader.h"
#include "ui/headless/Transcript.h"
#include "zip/Crc32.h"

namespace setup::ui::headless {
namespace {

using app::Widget;
using app::WidgetKind;
using app::WidgetModel;

constexpr int kVirtualKeyEscape = 0x1B;
constexpr int kVirtualKeyEnter = 0x0D;

struct Scheduled {
    int pump;
    std::string action;
    int line;
};

class Session {
  public:
    Session(const std::vector<std::string>& arguments, SimulatedInput& input)
        : form_(host_, arguments), input_(input), arguments_(arguments) {}

    SessionResult Run(std::string_view script) {
        input_.SetPumpHook([this] { OnPump(); });
        host_.SetModel(&form_.Model());
        host_.SetDialogHook([this](const app::MessageDialog&) { OnDialog(); });
        for (const ScriptAction& action : ReadScript(script)) {
            if (Stopped()) {
                break;
            }
            line_ = action.line;
            // Answers and events for the start-up may come before the window opens.
            const Verb* verb = Find(action.verb);
            if (!started_ && (verb == nullptr || verb->opensWindow)) {
                Start();
            }
            Execute(action, false);
            ShowScreenIfChanged();
        }
        if (!started_ && !Stopped()) {
            Start();
        }
        input_.SetPumpHook({});
        host_.SetDialogHook({});
        ShowOpenCalls();
        Finish();
        SessionResult result;
        result.failures = host_.Failures();
        result.ok = result.failures.empty();
        result.transcript = std::move(host_.Transcript());
        result.dialogs = std::move(host_.Dialogs());
        return result;
    }

  private:
    // One verb of the script language. `opensWindow`: the window is opened before
    // it runs (the others prepare answers and events for the start-up);
    // `needsProgram`: it acts on the window, so it fails once the program ended.
    struct Verb {
        std::string_view name;
        bool opensWindow;
        bool needsProgram;
        void (Session::*run)(std::string_view rest, std::string_view verb);
    };
    static const std::array<Verb, 13> kVerbs;

    static const Verb* Find(std::string_view name) {
        auto found = std::find_if(kVerbs.begin(), kVerbs.end(),
                                  [name](const Verb& verb) { return verb.name == name; });
        return found != kVerbs.end() ? &*found : nullptr;
    }

    std::vector<std::string>& Out() { return host_.Transcript(); }
    bool Stopped() const { return !host_.Failures().empty(); }
    void Fail(std::string_view message) {
        host_.Fail("line " + std::to_string(line_) + ": " + std::string(message));
    }

    void Start() {
        started_ = true;
        Out().push_back(StartLine(platform::CurrentOs().System().ProgramPath(), arguments_));
        form_.Create();
        Out().push_back(WindowLine(form_.Model()));
        form_.Paint();
        ShowScreenIfChanged();
    }

    void Finish() {
        for (const auto& event : scheduled_) {
            line_ = event.line;
            Fail("\"" + event.action + "\" was due at pump " + std::to_string(event.pump) +
                 ", but the logic pumped messages " + std::to_string(pumps_) + " times");
        }
        if (!media_.empty()) {
            host_.Fail(std::to_string(media_.size()) +
                       " medium change(s) left unused, the first \"" + media_.front() + "\"");
        }
        if (!host_.PendingAnswers().empty()) {
            host_.Fail(std::to_string(host_.PendingAnswers().size()) +
                       " dialog answer(s) left unused, the first \"" +
                       host_.PendingAnswers().front() + "\"");
        }
        if (host_.PendingBrowses() != 0) {
            host_.Fail(std::to_string(host_.PendingBrowses()) +
                       " folder dialog answer(s) left unused");
        }
        WriteEnd(Out(), form_, host_.ProgramEnded());
    }

    // The shell's "open" calls since the last look, one line each.
    void ShowOpenCalls() {
        auto calls = input_.OpenCalls();
        for (; openCallsShown_ < calls.size(); ++openCallsShown_) {
            const auto& call = calls[openCallsShown_];
            Out().push_back("open " + call.path + " -> " + std::to_string(call.result));
        }
    }

    // A dialog appears: a pending medium change happens first (the user swaps
    // the medium when the installer asks for it).
    void OnDialog() {
        ShowOpenCalls();
        if (media_.empty()) {
            return;
        }
        std::string folder = std::move(media_.front());
        media_.erase(media_.begin());
        Out().push_back("medium: D: is now " + folder);
        if (!input_.MapMedium(folder)) {
            Fail("can't use \"" + folder + "\" as the medium");
        }
    }

    void ShowScreenIfChanged() {
        ShowOpenCalls();
        if (!started_ || host_.ProgramEnded()) {
            return;
        }
        std::string screen = ScreenLine(form_);
        if (screen != lastScreen_) {
            Out().push_back(screen);
            lastScreen_ = std::move(screen);
        }
    }

    void OnPump() {
        ++pumps_;
        ShowScreenIfChanged();
        for (std::size_t i = 0; i < scheduled_.size() && !Stopped();) {
            if (scheduled_[i].pump != pumps_) {
                ++i;
                continue;
            }
            Scheduled event = scheduled_[i];
            scheduled_.erase(scheduled_.begin() + static_cast<std::ptrdiff_t>(i));
            int outerLine = line_;
            line_ = event.line;
            Out().push_back(AtPumpLine(pumps_, event.action));
            Execute(ReadAction(event.action), true);
            ShowScreenIfChanged();
            line_ = outerLine;
        }
    }

    void Execute(const ScriptAction& action, bool scheduled) {
        // Expectations speak only when they are not met.
        if (!scheduled && action.verb != "expect") {
            Out().push_back(ActionLine(action.text));
        }
        const Verb* verb = Find(action.verb);
        if ((verb == nullptr || verb->needsProgram) && host_.ProgramEnded()) {
            Fail("the program has ended");
            return;
        }
        if (verb == nullptr) {
            Fail("unknown action \"" + std::string(action.verb) + "\"");
            return;
        }
        (this->*verb->run)(action.rest, action.verb);
    }

    // The verbs.

    void Answer(std::string_view rest, std::string_view) { host_.QueueAnswer(std::string(rest)); }

    void Browse(std::string_view rest, std::string_view) {
        host_.QueueBrowse(EqualsNoCase(rest, "cancel") ? std::nullopt
                                                       : std::optional(std::string(rest)));
    }

    void At(std::string_view rest, std::string_view) {
        auto [pumpWord, afterPump] = FirstWord(rest);
        auto [count, action] = FirstWord(afterPump);
        auto n = Number(count);
        if (pumpWord != "pump" || !n || *n < 1 || action.empty()) {
            Fail("expected \"at pump N ACTION\"");
            return;
        }
        scheduled_.push_back({pumps_ + *n, std::string(action), line_});
    }

    void Key(std::string_view rest, std::string_view verb) {
        std::optional<int> key;
        if (EqualsNoCase(rest, "Escape") || EqualsNoCase(rest, "Esc")) {
            key = kVirtualKeyEscape;
        } else if (EqualsNoCase(rest, "Enter")) {
            key = kVirtualKeyEnter;
        } else {
            key = Number(rest);
        }
        if (!key) {
            Fail("unknown key \"" + std::string(rest) + "\"");
            return;
        }
        input_.SetKeyDown(*key, verb == "press");
    }

    void Click(std::string_view rest, std::string_view) {
        if (auto name = ResolveButton(rest); name && !form_.Click(*name)) {
            Fail("the button " + *name + " is not showing or not enabled");
        }
    }

    void Type(std::string_view rest, std::string_view) {
        if (!form_.Model().IsOnScreen("EditInstallDir")) {
            Fail("the target-folder field is not showing");
            return;
        }
        form_.UserEditedText("EditInstallDir", rest);
    }

    void Select(std::string_view rest, std::string_view verb) {
        auto [list, wantedItems] = FirstWord(rest);
        const Widget* w = form_.Model().Find(list);
        if (w == nullptr || w->kind != WidgetKind::ListBox || !form_.Model().IsOnScreen(list)) {
            Fail("no list \"" + std::string(list) + "\" is showing");
            return;
        }
        for (std::string_view wanted : SplitItems(wantedItems)) {
            std::optional<std::size_t> index;
            const auto& items = form_.Model().Get(list).items;
            for (std::size_t i = 0; i < items.size() && !index; ++i) {
                if (items[i].text == wanted) {
                    index = i;
                }
            }
            for (std::size_t i = 0; i < items.size() && !index; ++i) {
                if (EqualsNoCase(items[i].text, wanted)) {
                    index = i;
                }
            }
            if (!index) {
                Fail("the list " + std::string(list) + " holds no item \"" + std::string(wanted) +
                     "\"");
                return;
            }
            form_.UserSelected(list, *index, verb == "select");
        }
    }

    void Close(std::string_view, std::string_view) { form_.RequestClose(); }

    void Medium(std::string_view rest, std::string_view) {
        if (rest.empty()) {
            Fail("expected \"medium FOLDER\"");
            return;
        }
        media_.emplace_back(rest);
    }

    void Open(std::string_view rest, std::string_view) {
        auto space = rest.find_last_of(" \t");
        auto result =
            space == std::string_view::npos ? std::nullopt : Number(rest.substr(space + 1));
        std::string_view what =
            space == std::string_view::npos ? rest : Trim(rest.substr(0, space));
        if (!result || what.empty()) {
            Fail("expected \"open PATH|.EXT RESULT\"");
            return;
        }
        if (!input_.SetOpenResult(what, *result)) {
            Fail("the opener's results can't be set here");
        }
    }

    // Checks on the emulated system after the copy and shell steps; nothing
    // when `kind` is none of them, else whether it was met and what was found.
    std::optional<std::pair<bool, std::string>> ExpectOnSystem(std::string_view kind,
                                                               std::string_view rest) {
        if (kind == "file" || kind == "nofile") {
            return ExpectFile(kind == "file", rest);
        }
        if (kind == "log" || kind == "nolog") {
            auto [section, afterSection] = FirstWord(rest);
            auto [key, value] = FirstWord(afterSection);
            const std::string& path = form_.State().UninstallIniPath;
            std::optional<std::string> found;
            if (!path.empty() &&
                platform::CurrentOs().Files().GetAttributes(path) != platform::attr::kInvalid) {
                IniFile log(path);
                for (const std::string& name : log.ReadSectionKeys(section)) {
                    if (EqualsNoCase(name, key)) {
                        found = log.ReadString(section, key, "");
                    }
                }
            }
            std::string actual = found ? "\"" + *found + "\"" : "no such entry";
            return std::pair(kind == "log" ? found == value : !found, actual);
        }
        if (kind == "reg" || kind == "noreg") {
            return ExpectRegistry(kind == "reg", rest);
        }
        if (kind == "shortcut") {
            return ExpectShortcut(rest);
        }
        return std::nullopt;
    }

    std::pair<bool, std::string> ExpectFile(bool wanted, std::string_view rest) {
        // Trailing "size N" and "crc X" pairs; the path is what comes before them.
        std::optional<std::int64_t> size;
        std::optional<std::uint32_t> crc;
        std::string_view path = rest;
        for (bool more = wanted; more;) {
            auto valueAt = path.find_last_of(' ');
            auto keyAt =
                valueAt == std::string_view::npos ? valueAt : path.find_last_of(' ', valueAt - 1);
            more = false;
            if (keyAt == std::string_view::npos) {
                break;
            }
            std::string_view key = path.substr(keyAt + 1, valueAt - keyAt - 1);
            std::string value(path.substr(valueAt + 1));
            if (key == "size") {
                size = std::strtoll(value.c_str(), nullptr, 10);
            } else if (key == "crc") {
                crc = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
            } else {
                break;
            }
            path = Trim(path.substr(0, keyAt));
            more = true;
        }
        auto& files = platform::CurrentOs().Files();
        auto file = files.Open(path, platform::OpenMode::Read);
        if (!file) {
            return {!wanted, "no such file"};
        }
        std::int64_t length = 0;
        std::uint32_t sum = 0xFFFFFFFF;
        std::vector<std::uint8_t> buffer(64 * 1024);
        for (std::int64_t n; (n = file->Read(buffer)) > 0; length += n) {
            sum = zip::UpdateCrc32(sum, std::span(buffer).first(static_cast<std::size_t>(n)));
        }
        char hex[9];
        sum = ~sum;
        std::snprintf(hex, sizeof hex, "%08X", sum);
        std::string actual = "size " + std::to_string(length) + " crc " + hex;
        bool met = wanted && (!size || *size == length) && (!crc || *crc == sum);
        return {met, actual};
    }

    std::pair<bool, std::string> ExpectRegistry(bool wanted, std::string_view rest) {
        auto [rootName, afterRoot] = FirstWord(rest);
        auto [key, afterKey] = FirstWord(afterRoot);
        auto [value, data] = FirstWord(afterKey);
        std::optional<platform::RegRoot> root;
        if (EqualsNoCase(rootName, "HKCR")) {
            root = platform::RegRoot::ClassesRoot;
        } else if (EqualsNoCase(rootName, "HKLM")) {
            root = platform::RegRoot::LocalMachine;
        }
        if (!root || key.empty() || (wanted && value.empty())) {
            return {false, "a line \"expect reg HKCR|HKLM KEY VALUE DATA\""};
        }
        std::string name = value == "@" ? "" : std::string(value);
        auto opened = platform::CurrentOs().Reg().Open(*root, key);
        if (!opened) {
            return {!wanted, "no such key"};
        }
        if (!wanted && value.empty()) {
            return {false, "the key"};
        }
        if (opened->Query(name).status == platform::RegQueryStatus::Missing) {
            return {!wanted, "no such value"};
        }
        try {
            std::string found = ReadRegistryString(*opened, name);
            return {wanted && found == data, "\"" + found + "\""};
        } catch (const std::exception& error) {
            return {false, error.what()};
        }
    }

    std::pair<bool, std::string> ExpectShortcut(std::string_view rest) {
        // "PATH target T [description D] [folder F]": the words mark the parts.
        auto part = [rest](std::string_view word) -> std::optional<std::string_view> {
            std::string marker = " " + std::string(word) + " ";
            auto at = rest.find(marker);
            if (at == std::string_view::npos) {
                return std::nullopt;
            }
            std::string_view after = rest.substr(at + marker.size());
            std::size_t end = after.size();
            for (std::string_view next : {" target ", " description ", " folder "}) {
                end = std::min(end, after.find(next));
            }
            return Trim(after.substr(0, end));
        };
        auto target = part("target");
        if (!target) {
            return {false, "a line \"expect shortcut PATH target T ...\""};
        }
        std::string_view path = Trim(rest.substr(0, rest.find(" target ")));
        auto shortcut = input_.ReadShortcut(path);
        if (!shortcut) {
            return {false, "no shortcut there"};
        }
        auto description = part("description");
        auto folder = part("folder");
        bool met = EqualsNoCase(shortcut->target, *target) &&
                   (!description || shortcut->description == *description) &&
                   (!folder || EqualsNoCase(shortcut->workingDirectory, *folder));
        return {met, "target " + shortcut->target + " description " + shortcut->description +
                         " folder " + shortcut->workingDirectory};
    }

    void Expect(std::string_view what, std::string_view) {
        auto [kind, rest] = FirstWord(what);
        const WidgetModel& m = form_.Model();
        auto [name, afterName] = FirstWord(rest);
        const bool aboutElement = kind == "visible" || kind == "hidden" || kind == "focus" ||
                                  kind == "enabled" || kind == "disabled" || kind == "items" ||
                                  kind == "text";
        const Widget* w = aboutElement ? m.Find(name) : nullptr;
        if (aboutElement && w == nullptr) {
            Fail("no element named \"" + std::string(name) + "\"");
            return;
        }
        std::string actual;
        bool met = false;
        if (auto checked = ExpectOnSystem(kind, rest)) {
            met = checked->first;
            actual = checked->second;
        } else if (kind == "page") {
            actual = std::to_string(form_.State().PageIndex);
            met = actual == rest;
        } else if (kind == "InstallOk") {
            actual = form_.State().InstallOk ? "yes" : "no";
            met = actual == rest;
        } else if (kind == "ended" || kind == "running") {
            actual = host_.ProgramEnded() ? "ended" : "running";
            met = actual == kind;
        } else if (kind == "visible" || kind == "hidden") {
            actual = m.IsOnScreen(name) ? "visible" : "hidden";
            met = actual == kind;
        } else if (kind == "focus") {
            actual = m.Focused().empty() ? "none" : m.Focused();
            met = actual == name;
        } else if (kind == "enabled" || kind == "disabled") {
            actual = w->enabled ? "enabled" : "disabled";
            met = actual == kind;
        } else if (kind == "items") {
            actual = "\"" + ItemList(*w) + "\"";
            met = ItemList(*w) == afterName;
        } else if (kind == "text") {
            // The text is what follows the name and one blank, blanks included.
            std::string_view text = rest.substr(std::min(rest.size(), name.size() + 1));
            actual = "\"" + Escaped(w->caption) + "\"";
            met = Escaped(w->caption) == text;
        } else {
            Fail("unknown expectation \"" + std::string(kind) + "\"");
            return;
        }
        if (!met) {
            Fail("expected " + std::string(what) + ", found " + actual);
        }
    }

    std::optional<std::string> ResolveButton(std::string_view what) {
        const WidgetModel& m = form_.Model();
        if (const Widget* w = m.Find(what)) {
            return w->name;
        }
        std::vector<std::string> matches;
        for (bool ignoreAmpersand : {false, true}) {
            for (const Widget& w : m.All()) {
                bool button = w.kind == WidgetKind::Button || w.kind == WidgetKind::SpeedButton;
                bool same = ignoreAmpersand
                                ? EqualsNoCase(WithoutAmpersand(w.caption), WithoutAmpersand(what))
                                : w.caption == what;
                if (button && same && m.IsShowing(w.name)) {
                    matches.push_back(w.name);
                }
            }
            if (!matches.empty()) {
                break;
            }
        }
        if (matches.size() != 1) {
            Fail(matches.empty() ? "no button \"" + std::string(what) + "\" is showing"
                                 : "several buttons \"" + std::string(what) + "\" are showing");
            return std::nullopt;
        }
        return matches.front();
    }

    HeadlessHost host_;
    app::TMainForm form_;
    SimulatedInput& input_;
    std::vector<std::string> arguments_;
    std::vector<Scheduled> scheduled_;
    std::vector<std::string> media_;  // medium changes waiting for the source prompt
    std::size_t openCallsShown_ = 0;
    std::string lastScreen_;
    int pumps_ = 0;
    int line_ = 0;
    bool started_ = false;
};

// The script language: a new verb is one row here and one member above.
const std::array<Session::Verb, 13> Session::kVerbs{{
    {"answer", false, false, &Session::Answer},
    {"browse", false, false, &Session::Browse},
    {"at", false, false, &Session::At},
    {"press", false, false, &Session::Key},
    {"medium", false, false, &Session::Medium},
    {"open", false, false, &Session::Open},
    {"release", false, false, &Session::Key},
    {"expect", true, false, &Session::Expect},
    {"click", true, true, &Session::Click},
    {"type", true, true, &Session::Type},
    {"select", true, true, &Session::Select},
    {"unselect", true, true, &Session::Select},
    {"close", true, true, &Session::Close},
}};

}  // namespace

SessionResult RunSession(std::string_view script, const std::vector<std::string>& arguments,
                         SimulatedInput& input) {
    Session session(arguments, input);
    return session.Run(script);
}

}  // namespace setup::ui::headless
