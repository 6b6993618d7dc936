// The verbs of the session language that act: answers and events prepared in
// advance, and what the user does in the window. The checks are in
// SessionExpectations.cpp.
#include "ui/headless/SessionVerbs.h"

#include <algorithm>
#include <array>
#include <optional>

#include "app/WidgetNames.h"
#include "app/WindowRules.h"
#include "base/AsciiText.h"
#include "ui/headless/ScriptReader.h"

namespace setup::ui::headless {
namespace {

using app::Widget;
using app::WidgetKind;
using app::WidgetModel;

constexpr int kVirtualKeyEscape = 0x1B;
constexpr int kVirtualKeyEnter = 0x0D;

void Answer(SessionContext& s, std::string_view rest, std::string_view) {
    s.host.QueueAnswer(std::string(rest));
}

void Browse(SessionContext& s, std::string_view rest, std::string_view) {
    s.host.QueueBrowse(EqualsNoCase(rest, "cancel") ? std::nullopt
                                                    : std::optional(std::string(rest)));
}

void At(SessionContext& s, std::string_view rest, std::string_view) {
    auto [pumpWord, afterPump] = FirstWord(rest);
    auto [count, action] = FirstWord(afterPump);
    auto n = Number(count);
    if (pumpWord != "pump" || !n || *n < 1 || action.empty()) {
        s.Fail("expected \"at pump N ACTION\"");
        return;
    }
    s.scheduled.push_back({s.pumps + *n, std::string(action), s.line});
}

// "press KEY" / "release KEY": the key is held down or let go.
void HoldKey(SessionContext& s, std::string_view rest, std::string_view verb) {
    std::optional<int> key;
    if (EqualsNoCase(rest, "Escape") || EqualsNoCase(rest, "Esc")) {
        key = kVirtualKeyEscape;
    } else if (EqualsNoCase(rest, "Enter")) {
        key = kVirtualKeyEnter;
    } else {
        key = Number(rest);
    }
    if (!key) {
        s.Fail("unknown key \"" + std::string(rest) + "\"");
        return;
    }
    s.input.SetKeyDown(*key, verb == "press");
}

// Enter or Escape as a key stroke in the window: the button it presses there
// is clicked; nothing happens when there is none.
void KeyStroke(SessionContext& s, std::string_view rest, std::string_view) {
    const WidgetModel& m = s.form.Model();
    std::optional<std::size_t> button;
    if (EqualsNoCase(rest, "Enter")) {
        button = app::DefaultButton(m, app::FocusedIndex(m));
    } else if (EqualsNoCase(rest, "Escape") || EqualsNoCase(rest, "Esc")) {
        button = app::CancelButton(m);
    } else {
        s.Fail("expected \"key Enter\" or \"key Escape\"");
        return;
    }
    if (button) {
        // A copy: the click may change the model.
        const std::string name = m.All()[*button].name;
        s.form.Click(name);
    }
}

// A button named as in the layout, or by its caption among the buttons showing.
std::optional<std::string> ResolveButton(SessionContext& s, std::string_view what) {
    const WidgetModel& m = s.form.Model();
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
        s.Fail(matches.empty() ? "no button \"" + std::string(what) + "\" is showing"
                               : "several buttons \"" + std::string(what) + "\" are showing");
        return std::nullopt;
    }
    return matches.front();
}

void Click(SessionContext& s, std::string_view rest, std::string_view) {
    if (auto name = ResolveButton(s, rest); name && !s.form.Click(*name)) {
        s.Fail("the button " + *name + " is not showing or not enabled");
    }
}

void Type(SessionContext& s, std::string_view rest, std::string_view) {
    if (!s.form.Model().IsOnScreen(app::kEditInstallDir)) {
        s.Fail("the target-folder field is not showing");
        return;
    }
    s.form.UserEditedText(app::kEditInstallDir, rest);
}

void Select(SessionContext& s, std::string_view rest, std::string_view verb) {
    auto [list, wantedItems] = FirstWord(rest);
    const Widget* w = s.form.Model().Find(list);
    if (w == nullptr || w->kind != WidgetKind::ListBox || !s.form.Model().IsOnScreen(list)) {
        s.Fail("no list \"" + std::string(list) + "\" is showing");
        return;
    }
    for (std::string_view wanted : SplitItems(wantedItems)) {
        std::optional<std::size_t> index;
        const auto& items = s.form.Model().Get(list).items;
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
            s.Fail("the list " + std::string(list) + " holds no item \"" + std::string(wanted) +
                   "\"");
            return;
        }
        s.form.UserSelected(list, *index, verb == "select");
    }
}

void Close(SessionContext& s, std::string_view, std::string_view) {
    s.form.RequestClose();
}

void Medium(SessionContext& s, std::string_view rest, std::string_view) {
    if (rest.empty()) {
        s.Fail("expected \"medium FOLDER\"");
        return;
    }
    s.media.emplace_back(rest);
}

void Open(SessionContext& s, std::string_view rest, std::string_view) {
    auto space = rest.find_last_of(" \t");
    auto result = space == std::string_view::npos ? std::nullopt : Number(rest.substr(space + 1));
    std::string_view what = space == std::string_view::npos ? rest : Trim(rest.substr(0, space));
    if (!result || what.empty()) {
        s.Fail("expected \"open PATH|.EXT RESULT\"");
        return;
    }
    if (!s.input.SetOpenResult(what, *result)) {
        s.Fail("the opener's results can't be set here");
    }
}

// The script language: a new verb is one row here and one handler above.
constexpr std::array<Verb, 16> kVerbs{{
    {"answer", false, false, &Answer},
    {"browse", false, false, &Browse},
    {"at", false, false, &At},
    {"press", false, false, &HoldKey},
    {"medium", false, false, &Medium},
    {"open", false, false, &Open},
    {"release", false, false, &HoldKey},
    {"expect", true, false, &Expect},
    {"click", true, true, &Click},
    {"key", true, true, &KeyStroke},
    {"type", true, true, &Type},
    {"select", true, true, &Select},
    {"unselect", true, true, &Select},
    {"close", true, true, &Close},
    {"hurry", false, true, &Hurry},
    {"uninstall", false, false, &Uninstall},
}};

}  // namespace

const Verb* FindVerb(std::string_view name) {
    auto found = std::find_if(kVerbs.begin(), kVerbs.end(),
                              [name](const Verb& verb) { return verb.name == name; });
    return found != kVerbs.end() ? &*found : nullptr;
}

}  // namespace setup::ui::headless
