// The names of the main window's elements, as its layout (MainWindowLayout) gives
// them. Code names an element through these constants, so that a misspelt name
// fails to compile instead of ending the program when the model looks it up.
#pragma once

namespace setup::app {

// The window and its title band.
inline constexpr char kMainForm[] = "MainForm";
inline constexpr char kPanelTop[] = "PanelTop";
inline constexpr char kLogo[] = "Logo";
inline constexpr char kProgName[] = "ProgName";

// The main band and the finish page's texts.
inline constexpr char kPanelMain[] = "PanelMain";
inline constexpr char kVersion[] = "Version";
inline constexpr char kFehlermeldung[] = "Fehlermeldung";
inline constexpr char kErfolgsmeldung[] = "Erfolgsmeldung";
inline constexpr char kMemoInfos[] = "MemoInfos";

// The target folder page.
inline constexpr char kPanelVerzWahl[] = "PanelVerzWahl";
inline constexpr char kImgInstallDir[] = "ImgInstallDir";
inline constexpr char kLblVerzWahl[] = "LblVerzWahl";
inline constexpr char kEditInstallDir[] = "EditInstallDir";
inline constexpr char kBtnSuchen[] = "BtnSuchen";

// The module page.
inline constexpr char kPanelAuswahl[] = "PanelAuswahl";
inline constexpr char kLabel1[] = "Label1";
inline constexpr char kLabel2[] = "Label2";
inline constexpr char kListeNotInstall[] = "ListeNotInstall";
inline constexpr char kListeInstall[] = "ListeInstall";
inline constexpr char kSBRechts[] = "SBRechts";
inline constexpr char kSBLinks[] = "SBLinks";
inline constexpr char kSBAlleLinks[] = "SBAlleLinks";
inline constexpr char kSBAllesRechts[] = "SBAllesRechts";

// The copy page.
inline constexpr char kPanelKopieren[] = "PanelKopieren";
inline constexpr char kImgKopieren[] = "ImgKopieren";
inline constexpr char kMsgKopierenErfolg[] = "MsgKopierenErfolg";
inline constexpr char kMsgKopierenFehler[] = "MsgKopierenFehler";
inline constexpr char kMsgKopierenAbbruch[] = "MsgKopierenAbbruch";
inline constexpr char kPanelDateinamen[] = "PanelDateinamen";
inline constexpr char kLblKopieren1[] = "LblKopieren1";
inline constexpr char kLblQuellDatei[] = "LblQuellDatei";
inline constexpr char kLblKopieren2[] = "LblKopieren2";
inline constexpr char kLblZielDatei[] = "LblZielDatei";

// The program group page.
inline constexpr char kPanelPrgGruppe[] = "PanelPrgGruppe";
inline constexpr char kImgPrgGruppe[] = "ImgPrgGruppe";
inline constexpr char kLabelPrgGruppe[] = "LabelPrgGruppe";
inline constexpr char kLblPrgGruppe[] = "LblPrgGruppe";
inline constexpr char kMsgPrgGruppeErfolg[] = "MsgPrgGruppeErfolg";
inline constexpr char kMsgPrgGruppeFehler[] = "MsgPrgGruppeFehler";
inline constexpr char kMsgPrgGruppeCancel[] = "MsgPrgGruppeCancel";

// The button band.
inline constexpr char kPanelBottom[] = "PanelBottom";
inline constexpr char kBtnWeiter[] = "BtnWeiter";
inline constexpr char kBtnCancel[] = "BtnCancel";
inline constexpr char kBtnOK[] = "BtnOK";
inline constexpr char kBtnYes[] = "BtnYes";
inline constexpr char kBtnNo[] = "BtnNo";
inline constexpr char kBtnBeenden[] = "BtnBeenden";
inline constexpr char kBtnStarten[] = "BtnStarten";

}  // namespace setup::app
