// The module selection page: filling the lists, moving modules, and the answer
// the copy phase gets per module.
#include "app/WidgetNames.h"
#include "support/WizardTest.h"

namespace setup::app {
namespace {

class ModulePage : public FormTest {
  protected:
    // A form whose script is in use, with the lists filled.
    TMainForm& Filled(std::string_view auswahl, bool* result = nullptr) {
        WriteScript("[Auswahl]\n" + std::string(auswahl));
        TMainForm& form = CreateForm();
        form.Paint();
        bool filled = form.FillModuleLists();
        if (result != nullptr)
            *result = filled;
        return form;
    }

    std::string Items(std::string_view list) {
        std::string text;
        for (const auto& item : form_->Model().Get(list).items) {
            text += (text.empty() ? "" : ",") + item.text + (item.selected ? "*" : "");
        }
        return text;
    }
};

TEST_F(ModulePage, ValuesDecideTheStartingList) {
    bool result = false;
    Filled(
        "Hilfe=1\nBeispiele=0\nLeer=\nNull1=01\nMitFlag=1;0\nBlank=1 ;0\nTreiberNT=0;2\n"
        "Treiber95=0;1\nText=1;abc\nVersteckt=1;7\n",
        &result);
    EXPECT_TRUE(result);
    EXPECT_EQ(Items(kListeInstall), "Hilfe,MitFlag,Text");
    EXPECT_EQ(Items(kListeNotInstall), "Beispiele,Blank,Leer,Null1");
}

TEST_F(ModulePage, PageIsSkippedWithoutPreselectedModules) {
    bool result = true;
    Filled("A=0\nB=\n", &result);
    EXPECT_FALSE(result);
    EXPECT_EQ(Items(kListeNotInstall), "A,B");
    EXPECT_FALSE(form_->IsModuleSelected("A"));
    Filled("", &result);
    EXPECT_FALSE(result);
}

TEST_F(ModulePage, ListsSortWithoutRegardToCase) {
    Filled("gamma=0\nAlpha=0\nbeta=0\nDelta=0\nepsilon=0\nX=1\n");
    EXPECT_EQ(Items(kListeNotInstall), "Alpha,beta,Delta,epsilon,gamma");
    // Three of five selected move right and keep both lists sorted.
    for (std::size_t i : {0u, 2u, 4u})
        form_->UserSelected(kListeNotInstall, i, true);
    form_->SBRechtsClick();
    EXPECT_EQ(Items(kListeNotInstall), "beta,epsilon");
    EXPECT_EQ(Items(kListeInstall), "Alpha,Delta,gamma,X");
    form_->SBAllesRechtsClick();
    EXPECT_EQ(Items(kListeInstall), "Alpha*,Delta*,gamma*,X*");
    form_->SBLinksClick();
    EXPECT_EQ(Items(kListeInstall), "");
    EXPECT_EQ(Items(kListeNotInstall), "Alpha,beta,Delta,epsilon,gamma,X");
    form_->SBLinksClick();  // nothing selected: nothing happens
    EXPECT_EQ(Items(kListeNotInstall), "Alpha,beta,Delta,epsilon,gamma,X");
}

// German order as the system's sorted list box has it: umlauts beside their base
// letter, not after "Z" as byte order would put them.
TEST_F(ModulePage, UmlautsSortBesideTheirBaseLetter) {
    Filled(
        "Zusatzwerkzeuge=0\n\xDC"
        "bersetzungen=0\nUnterst\xFC"
        "tzung=0\nTools=0\nX=1\n");
    EXPECT_EQ(Items(kListeNotInstall),
              "Tools,\xDC"
              "bersetzungen,Unterst\xFC"
              "tzung,Zusatzwerkzeuge");
}

struct SelectedCase {
    const char* module;
    bool windowsNT;
    bool selected;
    int flag;
};

TEST_F(ModulePage, IsModuleSelected) {
    const SelectedCase cases[] = {
        {"", true, true, 0},
        {"hilfe", true, true, 0},
        {"Beispiele", true, false, 0},
        {"TreiberNT", true, true, 2},
        {"TreiberNT", false, false, 2},
        {"Treiber95", false, true, 1},
        {"Treiber95", true, false, 1},
        {"Text", true, true, -1},
        {"Versteckt", true, false, 7},
        {"Unbekannt", true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.module);
        windows_.Os().SetWindowsNT(c.windowsNT);
        Filled("Hilfe=1\nBeispiele=0\nTreiberNT=0;2\nTreiber95=0;1\nText=1;abc\nVersteckt=0;7\n");
        EXPECT_EQ(form_->IsModuleSelected(c.module), c.selected);
        EXPECT_EQ(form_->ModuleFlag(c.module), c.flag);
    }
}

class ModuleSession : public WizardTest {};

TEST_F(ModuleSession, UserMovesModules) {
    WriteScript("[ProgInfos]\nAuswahl=1\nZielVerz=C:\\Ziel\n[Auswahl]\nHilfe=1\nB=0\nA=0\n");
    Run(R"(click BtnWeiter
           expect page 1
           select ListeNotInstall a|B
           expect items ListeNotInstall A*, B*
           click SBRechts
           expect items ListeInstall A, B, Hilfe
           select ListeInstall Hilfe
           click SBLinks
           expect items ListeNotInstall Hilfe
           click SBAlleLinks
           expect items ListeNotInstall Hilfe*
           click BtnWeiter
           expect page 2)");
}

}  // namespace
}  // namespace setup::app
