// The existing-installation check: every row of the decision table, its texts,
// buttons and answers, and the lookup's handling of the registry.
#include "base/PeVersionReader.h"
#include "support/PeImage.h"
#include "support/WizardTest.h"

namespace setup::app {
namespace {

constexpr const char* kKey = "software\\microsoft\\windows\\currentversion\\uninstall\\Prog";
const std::string kBreak = "\n\r\r";

std::string Found(const std::string& middle, const std::string& version) {
    return "Im Ordner C:\\Alt\\" + middle + version + " des Programms \"Prog\" gefunden." + kBreak;
}

struct DecisionCase {
    const char* name;
    std::optional<VersionNumbers> installed;  // nothing: no program file
    const char* update;                       // extra [Update] lines
    const char* version;                      // [ProgInfos] Version line
    std::string text;
    DialogKind kind;
};

class ExistingInstallation : public WizardTest {
  protected:
    void Prepare(const DecisionCase& c) {
        WriteScript(std::string("[ProgInfos]\nName=Prog\nZielVerz=C:\\Neu\n") + c.version +
                    "\n[Registry]\nSoftwareKey=Prog\n[Update]\nAnbieten=1\nExeName=prog.exe\n" +
                    c.update);
        windows_.Os().SetRegistryString(platform::RegRoot::LocalMachine, kKey, "UninstallString",
                                        "C:\\WINDOWS\\Uninstall Prog.exe");
        windows_.WriteFile("C:\\WINDOWS\\Uninstall Prog.ini",
                           "[Programm]\nName=Prog\n[Ordner]\nC:\\Alt\\=1\n");
        windows_.MakeFolder("C:\\Alt");
        if (c.installed) {
            windows_.WriteFile("C:\\Alt\\prog.exe", AsText(MakePeImage({.version = *c.installed})));
        } else {
            windows_.Os().Files().DeleteFile("C:\\Alt\\prog.exe");
        }
    }
};

TEST_F(ExistingInstallation, DecisionTable) {
    const std::string overwrite = "Möchten Sie die existierende Installation überschreiben?";
    const std::string noUpdate = "Ein Update dieser Version ist mit der aktuellen Version ";
    const DecisionCase cases[] = {
        {"0: no version, parallel allowed", std::nullopt, "", "Version=2.0",
         "Im Ordner C:\\Alt\\ wurde eine existierende Version des Programms \"Prog\" gefunden." +
             kBreak + overwrite + kBreak,
         DialogKind::Confirmation},
        {"1: older (1.000 cut to 1.0)", VersionNumbers{1, 0, 0, 0}, "", "Version=2.0",
         Found(" wurde die ältere Version ", "1.0") +
             "Möchten Sie diese durch die aktuelle Version 2.0 ersetzen?" + kBreak,
         DialogKind::Confirmation},
        {"2: 2.105 cut to 2.1 equals 2.1", VersionNumbers{2, 1, 0, 5}, "", "Version=2.1",
         Found(" wurde eine existierende Version ", "2.1") +
             "Möchten Sie diese trotzdem überschreiben?" + kBreak,
         DialogKind::Confirmation},
        {"3: 1.50 is greater than 1.10 as text", VersionNumbers{1, 5, 0, 0}, "", "Version=1.10",
         Found(" wurde die aktuellere Version ", "1.50") +
             "Möchten Sie diese mit der älteren Version 1.10 überschreiben?" + kBreak,
         DialogKind::Confirmation},
        {"2: Version missing, cut to nothing", VersionNumbers{4, 0, 0, 0}, "", "",
         Found(" wurde eine existierende Version ", "") +
             "Möchten Sie diese trotzdem überschreiben?" + kBreak,
         DialogKind::Confirmation},
        {"4: not above the minimum, parallel", VersionNumbers{1, 0, 0, 0}, "MinimumVersionNr=1.0\n",
         "Version=1.0",
         Found(" wurde die Version ", "1.0") + noUpdate + "1.0 nicht möglich." + kBreak +
             "Bitte installieren Sie das Programm in einen anderen Ordner oder brechen Sie die "
             "Installation ab.",
         DialogKind::Warning},
        {"5: not above the minimum, no parallel", VersionNumbers{1, 0, 0, 0},
         "MinimumVersionNr=1.0\nParallelInstallation=0\n", "Version=1.0",
         Found(" wurde die Version ", "1.0") + noUpdate + "1.0 nicht möglich." + kBreak +
             "Bitte entfernen Sie die existierende Version zuerst. Die Installation wird nun "
             "abgebrochen.",
         DialogKind::Error},
        {"5: no version, no parallel", std::nullopt, "ParallelInstallation=0\n", "",
         Found(" wurde die Version ", "") + noUpdate + "1.0 nicht möglich." + kBreak +
             "Bitte entfernen Sie die existierende Version zuerst. Die Installation wird nun "
             "abgebrochen.",
         DialogKind::Error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c);
        bool question = c.kind == DialogKind::Confirmation;
        const char* session = question                        ? "answer &Nein\nexpect page 0"
                              : c.kind == DialogKind::Warning ? "answer OK\nexpect page 0"
                                                              : "answer OK\nanswer &Nein";
        auto result = Run(session);
        ASSERT_FALSE(result.dialogs.empty());
        const MessageDialog& d = result.dialogs.front();
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.caption, DialogCaption(c.kind, ""));
        EXPECT_EQ(d.buttons.size(), question ? 3u : 1u);
        // Code 5 closes the window, which asks the cancel question.
        EXPECT_EQ(result.dialogs.size(), c.kind == DialogKind::Error ? 2u : 1u);
    }
}

TEST_F(ExistingInstallation, Answers) {
    const DecisionCase older{"1", VersionNumbers{1, 0, 0, 0}, "", "Version=2.0", "", {}};
    const std::pair<const char*, const char*> cases[] = {
        {"answer &Ja", "expect text EditInstallDir C:\\Alt\\\nexpect running"},
        {"answer &Nein", "expect text EditInstallDir C:\\Neu\nexpect running"},
        {"answer Abbrechen\nanswer &Nein", "expect text EditInstallDir C:\\Neu\nexpect running"},
        {"answer Abbrechen\nanswer &Ja", "expect ended"},
    };
    for (const auto& [answers, expectations] : cases) {
        SCOPED_TRACE(answers);
        Prepare(older);
        Run(std::string(answers) + "\n" + expectations);
    }
}

TEST_F(ExistingInstallation, NoMessageWithoutAFolder) {
    const char* logs[] = {"[Programm]\nName=Prog\n", "[Ordner]\n"};
    for (const char* log : logs) {
        Prepare({"6", VersionNumbers{1, 0, 0, 0}, "", "Version=2.0", "", {}});
        windows_.WriteFile("C:\\WINDOWS\\Uninstall Prog.ini", log);
        auto result = Run("expect page 0");
        EXPECT_TRUE(result.dialogs.empty());
    }
}

TEST_F(ExistingInstallation, LookupNeverCreatesTheUninstallKey) {
    WriteScript("[Registry]\nSoftwareKey=Prog\n[Update]\nAnbieten=1\n");
    auto result = Run("expect page 0");
    EXPECT_TRUE(result.dialogs.empty());
    EXPECT_EQ(windows_.Os().Reg().Open(platform::RegRoot::LocalMachine, kKey), nullptr);
}

TEST_F(ExistingInstallation, UninstallStringOfAnotherTypeIsAnError) {
    windows_.WriteFile("D:\\Info.txt", "Info");
    WriteScript(
        "[Registry]\nSoftwareKey=Prog\n[Update]\nAnbieten=1\n[Infodatei]\nAnzeigen=2\n"
        "Dateiname=Info.txt\n");
    windows_.Os().SetRegistryNumber(platform::RegRoot::LocalMachine, kKey, "UninstallString", 1);
    auto result = Run("answer OK\nexpect page 0\nexpect hidden MemoInfos");
    ASSERT_EQ(result.dialogs.size(), 1u);
    // No full stop: the text ends in a character that sorts before ".".
    EXPECT_EQ(result.dialogs[0].text, "Ungültiger Datentyp für 'UninstallString'");
}

TEST_F(ExistingInstallation, InfoPageUnderAnzeigen1OnlyBelowCode4) {
    windows_.WriteFile("D:\\Info.txt", "Info");
    const std::pair<const char*, const char*> cases[] = {
        {"MinimumVersionNr=0.5\n", "answer &Nein\nexpect page -1"},  // code 1
        {"MinimumVersionNr=1.0\n", "answer OK\nexpect page 0"},      // code 4
    };
    for (const auto& [update, session] : cases) {
        Prepare({"", VersionNumbers{1, 0, 0, 0}, update, "Version=2.0", "", {}});
        windows_.WriteFile("D:\\Setup.ini", windows_.ReadFile("D:\\Setup.ini") +
                                                "\n[Infodatei]\nAnzeigen=1\nDateiname=Info.txt\n");
        Run(session);
    }
}

}  // namespace
}  // namespace setup::app
