#include "app/headless/Session.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "app/MainForm.h"
#include "app/headless/HeadlessHost.h"
#include "platform/Os.h"
#include "system/PathHelpers.h"

namespace setup::app {
namespace {

constexpr int kVirtualKeyEscape = 0x1B;
constexpr int kVirtualKeyEnter = 0x0D;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits off the first word of a text; the rest is trimmed.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view text) {
    text = Trim(text);
    auto space = text.find_first_of(" \t");
    if (space == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, space), Trim(text.substr(space + 1))};
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> SplitItems(std::string_view text) {
    std::vector<std::string_view> items;
    while (true) {
        auto bar = text.find('|');
        items.push_back(Trim(text.substr(0, bar)));
        if (bar == std::string_view::npos) {
            return items;
        }
        text.remove_prefix(bar + 1);
    }
}

std::string_view PageName(int pageIndex) {
    switch (pageIndex) {
        case page::kInfoText:
            return "info text";
        case page::kTargetFolder:
            return "target folder";
        case page::kModules:
            return "modules";
        case page::kCopy:
            return "copy";
        case page::kProgramGroup:
            return "program group";
        case page::kFinish:
            return "finish";
        default:
            return "?";
    }
}

std::string WithoutAmpersand(std::string_view caption) {
    std::string plain;
    for (char c : caption) {
        if (c != '&')
            plain += c;
    }
    return plain;
}

// A list's items, selected ones marked with "*".
std::string ItemList(const Widget& list) {
    std::string text;
    for (const auto& item : list.items) {
        text += (text.empty() ? "" : ", ") + item.text + (item.selected ? "*" : "");
    }
    return text;
}

bool IsResultLabel(const Widget& w) {
    return (w.kind == WidgetKind::Label || w.kind == WidgetKind::EffectLabel) &&
           (w.name.starts_with("Msg") || w.name == "Erfolgsmeldung" || w.name == "Fehlermeldung");
}

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
        int lineNumber = 0;
        while (!script.empty() && !Stopped()) {
            auto newline = script.find('\n');
            std::string_view line = Trim(script.substr(0, newline));
            script.remove_prefix(newline == std::string_view::npos ? script.size() : newline + 1);
            ++lineNumber;
            if (line.empty() || line.front() == '#') {
                continue;
            }
            line_ = lineNumber;
            // Answers and events for the start-up may come before the window opens.
            if (!started_ && !IsPreparation(FirstWord(line).first)) {
                Start();
            }
            Execute(line, false);
            ShowScreenIfChanged();
        }
        if (!started_ && !Stopped()) {
            Start();
        }
        input_.SetPumpHook({});
        Finish();
        SessionResult result;
        result.failures = host_.Failures();
        result.ok = result.failures.empty();
        result.transcript = std::move(host_.Transcript());
        result.dialogs = std::move(host_.Dialogs());
        return result;
    }

  private:
    std::vector<std::string>& Out() { return host_.Transcript(); }
    bool Stopped() const { return !host_.Failures().empty(); }
    void Fail(std::string_view message) {
        host_.Fail("line " + std::to_string(line_) + ": " + std::string(message));
    }

    static bool IsPreparation(std::string_view verb) {
        return verb == "answer" || verb == "browse" || verb == "at" || verb == "press" ||
               verb == "release";
    }

    void Start() {
        started_ = true;
        std::string start = "start: " + platform::CurrentOs().System().ProgramPath();
        for (const auto& argument : arguments_) {
            start += " " + argument;
        }
        Out().push_back(start);
        form_.Create();
        const WidgetModel& m = form_.Model();
        Out().push_back("window: \"" + m.Get("MainForm").caption + "\", program \"" +
                        m.Get("ProgName").caption + "\", \"" + m.Get("Version").caption + "\"");
        form_.Paint();
        ShowScreenIfChanged();
    }

    void Finish() {
        for (const auto& event : scheduled_) {
            line_ = event.line;
            Fail("\"" + event.action + "\" was due at pump " + std::to_string(event.pump) +
                 ", but the logic pumped messages " + std::to_string(pumps_) + " times");
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
        const InstallerState& s = form_.State();
        Out().push_back("end: page " + std::to_string(s.PageIndex) + " (" +
                        std::string(PageName(s.PageIndex)) + "), program " +
                        (host_.ProgramEnded() ? "ended" : "still running"));
        for (const Widget& w : form_.Model().All()) {
            if (IsResultLabel(w) && form_.Model().IsOnScreen(w.name)) {
                Out().push_back("shown: " + w.name + " \"" + Escaped(w.caption) + "\"");
            }
        }
        Out().push_back(std::string("InstallOk: ") + (s.InstallOk ? "yes" : "no"));
    }

    // The page as the user sees it, in one line.
    std::string Screen() const {
        const WidgetModel& m = form_.Model();
        const InstallerState& s = form_.State();
        std::string line = "page " + std::to_string(s.PageIndex) + " (" +
                           std::string(PageName(s.PageIndex)) + "):";
        for (auto name :
             {"MemoInfos", "PanelVerzWahl", "PanelAuswahl", "PanelKopieren", "PanelPrgGruppe"}) {
            if (m.IsOnScreen(name)) {
                line += " " + std::string(name);
            }
        }
        if (m.IsOnScreen("MemoInfos")) {
            std::string text = m.Get("MemoInfos").caption;
            text = text.substr(0, text.find('\r'));
            line += " \"" + text.substr(0, 60) + (text.size() > 60 ? "..." : "") + "\"";
        }
        if (m.IsOnScreen("EditInstallDir")) {
            line += " field \"" + m.Get("EditInstallDir").caption + "\"";
        }
        if (m.IsOnScreen("PanelAuswahl")) {
            for (auto list : {"ListeNotInstall", "ListeInstall"}) {
                line += std::string(" ") + list + " [" + ItemList(m.Get(list)) + "]";
            }
        }
        for (const Widget& w : m.All()) {
            if (IsResultLabel(w) && m.IsOnScreen(w.name)) {
                line += " " + w.name;
            }
        }
        line += " | buttons:";
        const char* separator = " ";
        for (const Widget* w : m.ChildrenOf("PanelBottom")) {
            if (w->visible) {
                line += separator + w->caption + (w->enabled ? "" : " (disabled)");
                separator = ", ";
            }
        }
        return line;
    }

    void ShowScreenIfChanged() {
        if (!started_ || host_.ProgramEnded()) {
            return;
        }
        std::string screen = Screen();
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
            Out().push_back("at pump " + std::to_string(pumps_) + ": " + event.action);
            Execute(event.action, true);
            ShowScreenIfChanged();
            line_ = outerLine;
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

    void Select(std::string_view arguments, bool selected) {
        auto [list, rest] = FirstWord(arguments);
        const Widget* w = form_.Model().Find(list);
        if (w == nullptr || w->kind != WidgetKind::ListBox || !form_.Model().IsOnScreen(list)) {
            Fail("no list \"" + std::string(list) + "\" is showing");
            return;
        }
        for (std::string_view wanted : SplitItems(rest)) {
            std::optional<std::size_t> index;
            const auto& items = form_.Model().Get(list).items;
            for (std::size_t i = 0; i < items.size() && !index; ++i) {
                if (items[i].text == wanted)
                    index = i;
            }
            for (std::size_t i = 0; i < items.size() && !index; ++i) {
                if (EqualsNoCase(items[i].text, wanted))
                    index = i;
            }
            if (!index) {
                Fail("the list " + std::string(list) + " holds no item \"" + std::string(wanted) +
                     "\"");
                return;
            }
            form_.UserSelected(list, *index, selected);
        }
    }

    std::optional<int> Key(std::string_view name) {
        if (EqualsNoCase(name, "Escape") || EqualsNoCase(name, "Esc"))
            return kVirtualKeyEscape;
        if (EqualsNoCase(name, "Enter"))
            return kVirtualKeyEnter;
        if (auto number = Number(name))
            return number;
        Fail("unknown key \"" + std::string(name) + "\"");
        return std::nullopt;
    }

    void Execute(std::string_view line, bool scheduled) {
        auto [verb, rest] = FirstWord(line);
        // Expectations speak only when they are not met.
        if (!scheduled && verb != "expect") {
            Out().push_back("> " + std::string(line));
        }
        if (verb == "expect") {
            Expect(rest);
            return;
        }
        if (verb == "answer") {
            host_.QueueAnswer(std::string(rest));
            return;
        }
        if (verb == "browse") {
            host_.QueueBrowse(EqualsNoCase(rest, "cancel") ? std::nullopt
                                                           : std::optional(std::string(rest)));
            return;
        }
        if (verb == "at") {
            auto [pumpWord, afterPump] = FirstWord(rest);
            auto [count, action] = FirstWord(afterPump);
            auto n = Number(count);
            if (pumpWord != "pump" || !n || *n < 1 || action.empty()) {
                Fail("expected \"at pump N ACTION\"");
                return;
            }
            scheduled_.push_back({pumps_ + *n, std::string(action), line_});
            return;
        }
        if (verb == "press" || verb == "release") {
            if (auto key = Key(rest)) {
                input_.SetKeyDown(*key, verb == "press");
            }
            return;
        }
        if (host_.ProgramEnded()) {
            Fail("the program has ended");
            return;
        }
        if (verb == "click") {
            if (auto name = ResolveButton(rest); name && !form_.Click(*name)) {
                Fail("the button " + *name + " is not showing or not enabled");
            }
        } else if (verb == "type") {
            if (!form_.Model().IsOnScreen("EditInstallDir")) {
                Fail("the target-folder field is not showing");
                return;
            }
            form_.UserEditedText("EditInstallDir", rest);
        } else if (verb == "select" || verb == "unselect") {
            Select(rest, verb == "select");
        } else if (verb == "close") {
            form_.RequestClose();
        } else {
            Fail("unknown action \"" + std::string(verb) + "\"");
        }
    }

    void Expect(std::string_view what) {
        auto [kind, rest] = FirstWord(what);
        const WidgetModel& m = form_.Model();
        auto widget = [&](std::string_view name) -> const Widget* {
            const Widget* w = m.Find(name);
            if (w == nullptr)
                Fail("no element named \"" + std::string(name) + "\"");
            return w;
        };
        std::string actual;
        bool met = false;
        if (kind == "page") {
            actual = std::to_string(form_.State().PageIndex);
            met = actual == rest;
        } else if (kind == "InstallOk") {
            actual = form_.State().InstallOk ? "yes" : "no";
            met = actual == rest;
        } else if (kind == "ended" || kind == "running") {
            actual = host_.ProgramEnded() ? "ended" : "running";
            met = actual == kind;
        } else if (kind == "visible" || kind == "hidden") {
            auto [name, ignored] = FirstWord(rest);
            if (!widget(name))
                return;
            actual = m.IsOnScreen(name) ? "visible" : "hidden";
            met = actual == kind;
        } else if (kind == "focus") {
            auto [name, ignored] = FirstWord(rest);
            if (!widget(name))
                return;
            actual = m.Focused().empty() ? "none" : m.Focused();
            met = actual == name;
        } else if (kind == "enabled" || kind == "disabled") {
            auto [name, ignored] = FirstWord(rest);
            const Widget* w = widget(name);
            if (!w)
                return;
            actual = w->enabled ? "enabled" : "disabled";
            met = actual == kind;
        } else if (kind == "items") {
            auto [name, items] = FirstWord(rest);
            const Widget* w = widget(name);
            if (!w)
                return;
            actual = "\"" + ItemList(*w) + "\"";
            met = ItemList(*w) == items;
        } else if (kind == "text") {
            // The text is what follows the name and one blank, blanks included.
            auto [name, ignored] = FirstWord(rest);
            std::string_view text = rest.substr(std::min(rest.size(), name.size() + 1));
            const Widget* w = widget(name);
            if (!w)
                return;
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

    HeadlessHost host_;
    TMainForm form_;
    SimulatedInput& input_;
    std::vector<std::string> arguments_;
    std::vector<Scheduled> scheduled_;
    std::string lastScreen_;
    int pumps_ = 0;
    int line_ = 0;
    bool started_ = false;
};

}  // namespace

SessionResult RunSession(std::string_view script, const std::vector<std::string>& arguments,
                         SimulatedInput& input) {
    Session session(arguments, input);
    return session.Run(script);
}

}  // namespace setup::app
