#include "ui/headless/Transcript.h"

#include "app/EffectLabels.h"
#include "app/WidgetNames.h"
#include "controls/RecordingCanvas.h"
#include "ui/headless/HeadlessHost.h"

namespace setup::ui::headless {
namespace {

using app::Widget;
using app::WidgetKind;
namespace page = app::page;

// A label that is only measured: nothing is shown, opened or moved.
class MeasuredOnly final : public controls::FxLabelHost {
    void Repaint(controls::TFxLabel& /*label*/) override {}
    void BoundsChanged(controls::TFxLabel& /*label*/) override {}
    void CursorChanged(controls::TFxLabel& /*label*/) override {}
    void OpenLink(std::string_view /*target*/) override {}
};

// The text the effect label `name` draws for `text`.
std::string DrawnText(const app::WidgetModel& model, std::string_view name, std::string_view text) {
    controls::RecordingCanvas canvas;
    MeasuredOnly host;
    controls::TFxLabel label(canvas, host);
    app::ConfigureEffectLabel(label, model, model.Get(name));
    label.SetCaption(text);
    return label.GetLabelText();
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

std::string PageTitle(int pageIndex) {
    return "page " + std::to_string(pageIndex) + " (" + std::string(PageName(pageIndex)) + ")";
}

bool IsResultLabel(const Widget& w) {
    return (w.kind == WidgetKind::Label || w.kind == WidgetKind::EffectLabel) &&
           (w.name.starts_with("Msg") || w.name == app::kErfolgsmeldung ||
            w.name == app::kFehlermeldung);
}

}  // namespace

std::string ItemList(const Widget& list) {
    std::string text;
    for (const auto& item : list.items) {
        text += (text.empty() ? "" : ", ") + item.text + (item.selected ? "*" : "");
    }
    return text;
}

std::string StartLine(std::string_view programPath, const std::vector<std::string>& arguments) {
    std::string start = "start: " + std::string(programPath);
    for (const auto& argument : arguments) {
        start += " " + argument;
    }
    return start;
}

std::string WindowLine(const app::WidgetModel& m) {
    return "window: \"" + m.Get(app::kMainForm).caption + "\", program \"" +
           m.Get(app::kProgName).caption + "\", \"" + m.Get(app::kVersion).caption + "\"";
}

std::string ScreenLine(const app::TMainForm& form) {
    const app::WidgetModel& m = form.Model();
    std::string line = PageTitle(form.State().PageIndex) + ":";
    for (auto name : {app::kMemoInfos, app::kPanelVerzWahl, app::kPanelAuswahl, app::kPanelKopieren,
                      app::kPanelPrgGruppe}) {
        if (m.IsOnScreen(name)) {
            line += " " + std::string(name);
        }
    }
    if (m.IsOnScreen(app::kMemoInfos)) {
        std::string text = m.Get(app::kMemoInfos).caption;
        text = text.substr(0, text.find('\r'));
        line += " \"" + text.substr(0, 60) + (text.size() > 60 ? "..." : "") + "\"";
    }
    if (m.IsOnScreen(app::kEditInstallDir)) {
        line += " field \"" + m.Get(app::kEditInstallDir).caption + "\"";
    }
    if (m.IsOnScreen(app::kPanelAuswahl)) {
        for (auto list : {app::kListeNotInstall, app::kListeInstall}) {
            line += " " + std::string(list) + " [" + ItemList(m.Get(list)) + "]";
        }
    }
    for (const Widget& w : m.All()) {
        if (IsResultLabel(w) && m.IsOnScreen(w.name)) {
            line += " " + w.name;
        }
    }
    line += " | buttons:";
    const char* separator = " ";
    for (const Widget* w : m.ChildrenOf(app::kPanelBottom)) {
        if (w->visible) {
            line += separator + w->caption + (w->enabled ? "" : " (disabled)");
            separator = ", ";
        }
    }
    return line;
}

std::string ActionLine(std::string_view action) {
    return "> " + std::string(action);
}

std::string AtPumpLine(int pump, std::string_view action) {
    return "at pump " + std::to_string(pump) + ": " + std::string(action);
}

void WriteEnd(std::vector<std::string>& out, const app::TMainForm& form, bool programEnded) {
    const app::InstallerState& s = form.State();
    out.push_back("end: " + PageTitle(s.PageIndex) + ", program " +
                  (programEnded ? "ended" : "still running"));
    for (const Widget& w : form.Model().All()) {
        if (IsResultLabel(w) && form.Model().IsOnScreen(w.name)) {
            out.push_back("shown: " + w.name + " \"" + Escaped(w.caption) + "\"");
        }
    }
    out.push_back(std::string("InstallOk: ") + (s.InstallOk ? "yes" : "no"));
}

std::optional<std::string> DrawnPathsLine(const app::WidgetModel& model, std::string_view source,
                                          std::string_view target) {
    const std::string drawnSource = DrawnText(model, app::kLblQuellDatei, source);
    const std::string drawnTarget = DrawnText(model, app::kLblZielDatei, target);
    if (drawnSource == source && drawnTarget == target) {
        return std::nullopt;
    }
    return "drawn: " + drawnSource + " -> " + drawnTarget;
}

}  // namespace setup::ui::headless
