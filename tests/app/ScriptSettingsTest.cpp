// ReadScriptSettings: keys, types, defaults and the logo geometry.
#include "app/WidgetNames.h"
#include "support/WizardTest.h"

namespace setup::app {
namespace {

class ScriptSettings : public FormTest {
  protected:
    const Widget& W(std::string_view name) { return form_->Model().Get(name); }
    const InstallerState& S() { return form_->State(); }
};

TEST_F(ScriptSettings, MissingScriptGivesTheDefaults) {
    CreateForm();
    EXPECT_FALSE(S().ScriptFound);
    EXPECT_EQ(S().SourceDir, "D:\\");
    EXPECT_EQ(W(kMainForm).caption, " Installation");
    EXPECT_EQ(form_->Model().AppTitle(), " Installation");
    EXPECT_EQ(W(kProgName).caption, "");
    EXPECT_EQ(W(kVersion).caption, "Version 1.0");
    EXPECT_EQ(W(kEditInstallDir).caption, "C:\\Programme\\");
    EXPECT_EQ(S().ProgramGroupName, "");
    EXPECT_FALSE(S().SelectionEnabled);
    EXPECT_FALSE(S().UninstallerPresent);
    EXPECT_EQ(S().UninstallerSource, "D:\\");
    EXPECT_EQ(S().InfoDisplayMode, 0);
    EXPECT_TRUE(S().InfoShowOk);
    EXPECT_FALSE(S().InfoShowYes || S().InfoShowNo || S().InfoShowCancel);
    EXPECT_FALSE(S().UpdateCheckEnabled);
    EXPECT_EQ(W(kProgName).bounds.width, 435 - 8);
    EXPECT_TRUE(S().FirstPaintPending);
    EXPECT_TRUE(S().AskOnClose);
}

struct KeyCase {
    const char* ini;
    std::function<void(const TMainForm&)> check;
};

TEST_F(ScriptSettings, KeysTypesAndEdgeCases) {
    auto caption = [](const TMainForm& f, std::string_view name) {
        return f.Model().Get(name).caption;
    };
    const KeyCase cases[] = {
        {"[Update]\nAnbieten=ja", [](auto& f) { EXPECT_FALSE(f.State().UpdateCheckEnabled); }},
        {"[Update]\nAnbieten=1", [](auto& f) { EXPECT_TRUE(f.State().UpdateCheckEnabled); }},
        {"[Update]\nAnbieten=7", [](auto& f) { EXPECT_TRUE(f.State().UpdateCheckEnabled); }},
        {"[Infodatei]\nAnzeigen=0x2", [](auto& f) { EXPECT_EQ(f.State().InfoDisplayMode, 2); }},
        {"[Infodatei]\nOK_Button=nein", [](auto& f) { EXPECT_TRUE(f.State().InfoShowOk); }},
        {"[proginfos]\nfirma=Firma\nNAME=Prog",
         [&](auto& f) {
             EXPECT_EQ(caption(f, kMainForm), "Firma Installation");
             EXPECT_EQ(caption(f, kProgName), "Prog");
         }},
        {"[ProgInfos]\nZIELVERZ=C:\\Ziel\nVersion=3.0",
         [&](auto& f) {
             EXPECT_EQ(caption(f, kEditInstallDir), "C:\\Ziel");
             EXPECT_EQ(caption(f, kVersion), "Version 3.0");
         }},
        {"[ProgInfos]\nZielVerz=@@INSTDIR@@Ziel",
         [&](auto& f) { EXPECT_EQ(caption(f, kEditInstallDir), "Ziel"); }},
        {"[ProgInfos]\nZielVerz=@@PRGGRP@@Ziel\n[ProgGruppe]\nName=Gruppe",
         [&](auto& f) {
             EXPECT_EQ(caption(f, kEditInstallDir), "Ziel");
             EXPECT_EQ(f.State().ProgramGroupName, "Gruppe\\");
         }},
        {"[ProgGruppe]\nName=@@INSTDIR@@Gruppe",
         [](auto& f) { EXPECT_EQ(f.State().ProgramGroupName, "Gruppe\\"); }},
        {"[ProgGruppe]\nName=", [](auto& f) { EXPECT_EQ(f.State().ProgramGroupName, ""); }},
        {"[ProgInfos]\nUninstaller=Uninst.exe",
         [](auto& f) {
             EXPECT_TRUE(f.State().UninstallerPresent);
             EXPECT_EQ(f.State().UninstallerSource, "D:\\Uninst.exe");
         }},
        {"[ProgInfos]\nUninstaller=Fehlt.exe",
         [](auto& f) { EXPECT_FALSE(f.State().UninstallerPresent); }},
        {"[ProgInfos]\nAuswahl=1", [](auto& f) { EXPECT_TRUE(f.State().SelectionEnabled); }},
    };
    windows_.WriteFile("D:\\Uninst.exe", "MZ");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        WriteScript(c.ini);
        c.check(CreateForm());
    }
}

TEST_F(ScriptSettings, LongValuesAreCut) {
    WriteScript("[ProgInfos]\nName=" + std::string(1100, 'n') + "\n");
    EXPECT_EQ(CreateForm().Model().Get(kProgName).caption, std::string(1023, 'n'));
}

struct LogoCase {
    const char* keys;
    bool loadable, stretch, autoSize, center, transparent;
};

TEST_F(ScriptSettings, LogoFlags) {
    const LogoCase cases[] = {
        {"Logo=bild.jpg", false, true, false, false, false},
        {"Logo=bild.BMP\nLogoTransparent=1", true, true, false, false, true},
        {"Logo=bild.ico\nAutoSizeLogo=1", true, true, false, false, false},
        {"Logo=bild.wmf\nStretchLogo=0\nAutoSizeLogo=1", true, false, true, false, false},
        {"Logo=bild.emf\nStretchLogo=0", true, false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        WriteScript(std::string("[ProgInfos]\n") + c.keys);
        const PictureSource& p = CreateForm().Model().Get(kLogo).picture;
        EXPECT_EQ(p.path.substr(0, 8), "D:\\bild.");
        EXPECT_EQ(p.loadable, c.loadable);
        EXPECT_EQ(p.stretch, c.stretch);
        EXPECT_EQ(p.autoSize, c.autoSize);
        EXPECT_EQ(p.center, c.center);
        EXPECT_EQ(p.transparent, c.transparent);
    }
}

TEST_F(ScriptSettings, LogoGeometry) {
    WriteScript("[ProgInfos]\nLogo=bild.jpg\n");
    CreateForm();
    // An empty box: the title label is 12 pixels plus the box narrower than the panel.
    EXPECT_EQ(W(kLogo).bounds, (Rect{6, 6, 80, 45}));
    EXPECT_EQ(W(kProgName).bounds, (Rect{435 - 5 - 343, 5, 343, 47}));

    // A loaded picture changes the box only under AutoSize; a low box is centred.
    WriteScript("[ProgInfos]\nLogo=bild.bmp\nStretchLogo=0\nAutoSizeLogo=1\n");
    CreateForm().LogoPictureLoaded(32, 20);
    EXPECT_EQ(W(kLogo).bounds, (Rect{6, 18, 32, 20}));
    EXPECT_EQ(W(kProgName).bounds.width, 435 - 12 - 32);

    WriteScript("[ProgInfos]\nLogo=bild.bmp\n");
    CreateForm().LogoPictureLoaded(32, 20);
    EXPECT_EQ(W(kLogo).bounds, (Rect{6, 6, 80, 45}));
}

}  // namespace
}  // namespace setup::app
