// The start-up keys of the installation script and the title panel's logo.
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"
#include "system/Placeholders.h"

namespace setup::app {
namespace {

// The logo loader reads these formats, chosen by extension.
bool IsLoadablePicture(std::string_view path) {
    std::string extension = AsciiLower(ExtensionOf(path));
    return extension == ".bmp" || extension == ".ico" || extension == ".wmf" || extension == ".emf";
}

}  // namespace

void TMainForm::ReadScriptSettings() {
    IniFile script(state_.SourceDir + "Setup.ini");

    std::string caption = script.ReadString("ProgInfos", "Firma", "") + " Installation";
    if (state_.TestMode) {
        caption += " (Testmodus!)";
    }
    model_.SetCaption(kMainForm, caption);
    model_.SetAppTitle(caption);
    model_.SetCaption(kProgName, script.ReadString("ProgInfos", "Name", ""));
    model_.SetCaption(kVersion, "Version " + script.ReadString("ProgInfos", "Version", "1.0"));

    std::string logo = script.ReadString("ProgInfos", "Logo", "");
    // The field and the program group are both still empty while the proposal
    // is expanded; the field is filled only after the group was read.
    std::string proposal =
        ExpandPlaceholders(script.ReadString("ProgInfos", "ZielVerz", "@@PRGDIR@@"), InstallDir(),
                           state_.ProgramGroupName);
    state_.SelectionEnabled = script.ReadBool("ProgInfos", "Auswahl", false);
    bool stretch = script.ReadBool("ProgInfos", "StretchLogo", true);
    bool autoSize = script.ReadBool("ProgInfos", "AutoSizeLogo", false);

    std::string uninstaller = script.ReadString("ProgInfos", "Uninstaller", "");
    state_.UninstallerSource = state_.SourceDir + uninstaller;
    state_.UninstallerPresent = !uninstaller.empty() && IsExistingFile(state_.UninstallerSource);

    state_.ProgramGroupName = AddTrailingBackslash(ExpandPlaceholders(
        script.ReadString("ProgGruppe", "Name", ""), InstallDir(), state_.ProgramGroupName));
    SetInstallDir(proposal);

    if (logo.empty()) {
        Rect name = model_.Get(kProgName).bounds;
        int panelWidth = model_.Get(kPanelTop).bounds.width;
        name.width = panelWidth - 8;
        name.left = panelWidth - 5 - name.width;
        model_.SetBounds(kProgName, name);
    } else {
        PictureSource picture;
        picture.path = state_.SourceDir + logo;
        picture.loadable = IsLoadablePicture(logo);
        picture.stretch = stretch;
        picture.autoSize = autoSize && !stretch;
        picture.center = !stretch && !autoSize;
        picture.transparent = script.ReadBool("ProgInfos", "LogoTransparent", false);
        model_.SetPicture(kLogo, picture);
        ApplyLogoGeometry();
    }

    state_.InfoDisplayMode = script.ReadInteger("Infodatei", "Anzeigen", 0);
    state_.InfoFileName = script.ReadString("Infodatei", "Dateiname", "");
    state_.InfoShowOk = script.ReadBool("Infodatei", "OK_Button", true);
    state_.InfoShowYes = script.ReadBool("Infodatei", "Ja_Button", false);
    state_.InfoShowNo = script.ReadBool("Infodatei", "Nein_Button", false);
    state_.InfoShowCancel = script.ReadBool("Infodatei", "Abbruch_Button", false);
    state_.UpdateCheckEnabled = script.ReadBool("Update", "Anbieten", false);
}

// A box lower than the title panel is centred in it vertically, and the
// right-aligned program name takes the width the box leaves.
void TMainForm::ApplyLogoGeometry() {
    const Rect panel = model_.Get(kPanelTop).bounds;
    Rect box = model_.Get(kLogo).bounds;
    if (box.height < panel.height - 8) {
        box.top = (panel.height - box.height) / 2;
        model_.SetBounds(kLogo, box);
    }
    Rect name = model_.Get(kProgName).bounds;
    name.width = panel.width - 12 - box.width;
    name.left = panel.width - 5 - name.width;
    model_.SetBounds(kProgName, name);
}

void TMainForm::LogoPictureLoaded(int width, int height) {
    const Widget& logo = model_.Get(kLogo);
    if (logo.picture.path.empty() || width <= 0 || height <= 0) {
        return;
    }
    if (logo.picture.autoSize) {
        Rect box = logo.bounds;
        box.width = width;
        box.height = height;
        model_.SetBounds(kLogo, box);
    }
    ApplyLogoGeometry();
}

}  // namespace setup::app
