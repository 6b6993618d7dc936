// The names of the main window's elements, as its layout (MainWindowElements) gives
// them. Code names an element through these constants, so that a misspelt name
// fails to compile instead of ending the program when the model looks it up.
#pragma once

#include <string_view>

namespace setup::app {

// The window and its title band.
inline constexpr std::string_view kMainForm = "MainForm";
inline constexpr std::string_view kPanelTop = "PanelTop";
inline constexpr std::string_view kLogo = "Logo";
inline constexpr std::string_view kProgName = "ProgName";

// The main band and the finish page's texts.
inline constexpr std::string_view kPanelMain = "PanelMain";
inline constexpr std::string_view kVersion = "Version";
inline constexpr std::string_view kFehlermeldung = "Fehlermeldung";
inline constexpr std::string_view kErfolgsmeldung = "Erfolgsmeldung";
inline constexpr std::string_view kMemoInfos = "MemoInfos";

// The target folder page.
inline constexpr std::string_view kPanelVerzWahl = "PanelVerzWahl";
inline constexpr std::string_view kImgInstallDir = "ImgInstallDir";
inline constexpr std::string_view kLblVerzWahl = "LblVerzWahl";
inline constexpr std::string_view kEditInstallDir = "EditInstallDir";
inline constexpr std::string_view kBtnSuchen = "BtnSuchen";

// The module page.
inline constexpr std::string_view kPanelAuswahl = "PanelAuswahl";
inline constexpr std::string_view kLabel1 = "Label1";
inline constexpr std::string_view kLabel2 = "Label2";
inline constexpr std::string_view kListeNotInstall = "ListeNotInstall";
inline constexpr std::string_view kListeInstall = "ListeInstall";
inline constexpr std::string_view kSBRechts = "SBRechts";
inline constexpr std::string_view kSBLinks = "SBLinks";
inline constexpr std::string_view kSBAlleLinks = "SBAlleLinks";
inline constexpr std::string_view kSBAllesRechts = "SBAllesRechts";

// The copy page.
inline constexpr std::string_view kPanelKopieren = "PanelKopieren";
inline constexpr std::string_view kImgKopieren = "ImgKopieren";
inline constexpr std::string_view kMsgKopierenErfolg = "MsgKopierenErfolg";
inline constexpr std::string_view kMsgKopierenFehler = "MsgKopierenFehler";
inline constexpr std::string_view kMsgKopierenAbbruch = "MsgKopierenAbbruch";
inline constexpr std::string_view kPanelDateinamen = "PanelDateinamen";
inline constexpr std::string_view kLblKopieren1 = "LblKopieren1";
inline constexpr std::string_view kLblQuellDatei = "LblQuellDatei";
inline constexpr std::string_view kLblKopieren2 = "LblKopieren2";
inline constexpr std::string_view kLblZielDatei = "LblZielDatei";

// The program group page.
inline constexpr std::string_view kPanelPrgGruppe = "PanelPrgGruppe";
inline constexpr std::string_view kImgPrgGruppe = "ImgPrgGruppe";
inline constexpr std::string_view kLabelPrgGruppe = "LabelPrgGruppe";
inline constexpr std::string_view kLblPrgGruppe = "LblPrgGruppe";
inline constexpr std::string_view kMsgPrgGruppeErfolg = "MsgPrgGruppeErfolg";
inline constexpr std::string_view kMsgPrgGruppeFehler = "MsgPrgGruppeFehler";
inline constexpr std::string_view kMsgPrgGruppeCancel = "MsgPrgGruppeCancel";

// The button band.
inline constexpr std::string_view kPanelBottom = "PanelBottom";
inline constexpr std::string_view kBtnWeiter = "BtnWeiter";
inline constexpr std::string_view kBtnCancel = "BtnCancel";
inline constexpr std::string_view kBtnOK = "BtnOK";
inline constexpr std::string_view kBtnYes = "BtnYes";
inline constexpr std::string_view kBtnNo = "BtnNo";
inline constexpr std::string_view kBtnBeenden = "BtnBeenden";
inline constexpr std::string_view kBtnStarten = "BtnStarten";

}  // namespace setup::app
