// The hurried user: clicks on through the wizard with the preset choices and
// answers every question "&Ja", so that a medium can be tried without a script.
#include <array>
#include <optional>

#include "app/WidgetNames.h"
#include "ui/headless/SessionVerbs.h"
#include "ui/headless/Transcript.h"

namespace setup::ui::headless {
namespace {

// Clicks and dialog answers of one hurried run; a wizard that needs more keeps
// asking the same (a source prompt answered "OK" for a file that is missing).
constexpr int kHurryLimit = 100;

// The buttons a hurried user clicks, the first one showing and enabled.
constexpr std::array kHurriedButtons{app::kBtnWeiter, app::kBtnYes, app::kBtnOK, app::kBtnBeenden};

std::optional<std::string_view> NextButton(const app::WidgetModel& m) {
    for (std::string_view name : kHurriedButtons) {
        if (m.IsShowing(name) && m.Get(name).enabled) {
            return name;
        }
    }
    return std::nullopt;
}

}  // namespace

void Hurry(SessionContext& s, std::string_view, std::string_view) {
    s.host.Hurry(kHurryLimit);
    // The window opens only now, so that the start-up's dialogs are answered too.
    s.openWindow();
    while (!s.host.ProgramEnded() && s.host.Failures().empty()) {
        const auto button = NextButton(s.form.Model());
        if (!button) {
            s.Fail("hurry: no \"&Weiter..\", \"&Ja\", \"OK\" or \"&Beenden\" to click on page " +
                   std::to_string(s.form.State().PageIndex));
            return;
        }
        const std::string click = "click " + s.form.Model().Get(*button).caption;
        if (!s.host.TakeHurriedStep(click + " on page " +
                                    std::to_string(s.form.State().PageIndex))) {
            return;
        }
        s.host.Transcript().push_back(ActionLine(click + " (hurry)"));
        s.form.Click(*button);
        if (s.showScreen) {
            s.showScreen();
        }
    }
}

}  // namespace setup::ui::headless
