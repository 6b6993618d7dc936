// The module selection page: two sorted lists of the script's [Auswahl] modules,
// the four buttons that move them, and the question the copy phase asks per file.
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "platform/Os.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"

namespace setup::app {
namespace {

constexpr std::string_view kInstall = kListeInstall;
constexpr std::string_view kNotInstall = kListeNotInstall;

}  // namespace

bool TMainForm::FillModuleLists() {
    model_.ClearItems(kInstall);
    model_.ClearItems(kNotInstall);
    IniFile script(state_.ScriptPath);
    const auto modules = script.ReadSectionKeys("Auswahl");
    bool result = !modules.empty();
    for (const std::string& module : modules) {
        // state [";" flag]: a flag other than 0 hides the module from the lists.
        std::string value = script.ReadString("Auswahl", module, "");
        auto separator = value.find(';');
        std::string_view state = std::string_view(value).substr(0, separator);
        if (separator != std::string::npos &&
            ParseIniInteger(std::string_view(value).substr(separator + 1)).value_or(0) != 0) {
            continue;
        }
        model_.AddItem(state == "1" ? kInstall : kNotInstall, module);
    }
    if (model_.Get(kInstall).items.empty()) {
        result = false;
    }
    return result;
}

void TMainForm::MoveSelected(std::string_view from, std::string_view to) {
    const auto items = model_.Get(from).items;
    for (const ListItem& item : items) {
        if (item.selected) {
            model_.AddItem(to, item.text);
        }
    }
    for (std::size_t i = items.size(); i-- > 0;) {
        if (items[i].selected) {
            model_.DeleteItem(from, i);
        }
    }
}

void TMainForm::SelectAll(std::string_view list) {
    for (std::size_t i = 0; i < model_.Get(list).items.size(); ++i) {
        model_.SetSelected(list, i, true);
    }
}

void TMainForm::SBRechtsClick() {
    MoveSelected(kNotInstall, kInstall);
}
void TMainForm::SBLinksClick() {
    MoveSelected(kInstall, kNotInstall);
}
void TMainForm::SBAlleLinksClick() {
    SelectAll(kNotInstall);
}
void TMainForm::SBAllesRechtsClick() {
    SelectAll(kInstall);
}

bool TMainForm::IsModuleSelected(std::string_view module) {
    if (module.empty()) {
        return true;
    }
    for (const ListItem& item : model_.Get(kInstall).items) {
        if (EqualsNoCase(item.text, module)) {
            return true;
        }
    }
    return ModuleFlag(module) == (IsWindowsNT() ? 2 : 1);
}

int TMainForm::ModuleFlag(std::string_view module) {
    std::string value = IniFile(state_.ScriptPath).ReadString("Auswahl", module, "");
    auto separator = value.find(';');
    if (separator == std::string::npos) {
        return 0;
    }
    return ParseIniInteger(std::string_view(value).substr(separator + 1)).value_or(-1);
}

bool TMainForm::IsWindowsNT() {
    return platform::CurrentOs().System().IsWindowsNT();
}

}  // namespace setup::app
