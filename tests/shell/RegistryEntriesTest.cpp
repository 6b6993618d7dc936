// The registry step: which parts run, the previous association in the log, the
// values written, the errors, and a second run that finds the first installation.
#include "ShellStepTest.h"
#include "system/RegistryValues.h"

namespace setup::app {
namespace {

using platform::RegRoot;

constexpr const char* kEntry = "software\\microsoft\\windows\\currentversion\\uninstall\\ProgKey";
const std::string kAssociation =
    "[Registry]\nDateiErweiterung=.prg\nDateityp=ProgDatei\nBeschreibung=Prog-Dokument\n"
    "Programm=@@INSTDIR@@Prog.exe\n";

// The default value (or the named one) of a key; "<none>" when the key is missing.
std::string Value(RegRoot root, std::string_view key, std::string_view name = "") {
    auto opened = platform::CurrentOs().Reg().Open(root, key);
    return opened ? ReadRegistryString(*opened, name) : "<none>";
}

struct RegistryCase {
    const char* name;
    std::string sections;
    std::function<void(platform::PosixOs&)> before;
    bool uninstaller;
    std::string association;  // "extension|type|command", or "<none>" for the extension
    std::string registryLog;  // [Registry] of the log
    std::string displayName;  // "<none>": no uninstall entry
    std::string progInfos = "ZielVerz=C:\\Ziel\n";
};

class RegistryEntries : public ShellStepTest {};

TEST_F(RegistryEntries, Cases) {
    const std::string command = "\"C:\\Ziel\\Prog.exe\" \"%1\"";
    const std::string kNewType = "NeuerTypVorher=0\nNeuerTypBeschreibung=\nNeuerTypProgramm=\n";
    const auto nothing = [](platform::PosixOs&) {};
    const RegistryCase cases[] = {
        {"a new extension, and the uninstall entry", kAssociation + "SoftwareKey=ProgKey\n",
         nothing, true, "ProgDatei|Prog-Dokument|" + command,
         "Dateierweiterung=.prg\nDateityp=\nBeschreibung=\nProgramm=\nIstNeueErweiterung=1\n"
         "IstNeuerTyp=1\nNeuerTypName=ProgDatei\n" +
             kNewType + "SoftwareKey=ProgKey\n",
         "Muster AG Prog", "ZielVerz=C:\\Ziel\nFirma=Muster AG\n"},
        {"an extension pointing to a type whose key is missing; no Firma",
         kAssociation + "SoftwareKey=ProgKey\n",
         [](platform::PosixOs& os) {
             os.SetRegistryString(RegRoot::ClassesRoot, ".prg", "", "AltDatei");
         },
         true, "ProgDatei|Prog-Dokument|" + command,
         "Dateierweiterung=.prg\nDateityp=AltDatei\nBeschreibung=\nProgramm=\n"
         "IstNeueErweiterung=0\nIstNeuerTyp=0\nNeuerTypName=ProgDatei\n" +
             kNewType + "SoftwareKey=ProgKey\n",
         "zelvox Prog"},
        {"the same type registered before: its values logged as found, then replaced", kAssociation,
         [](platform::PosixOs& os) {
             os.SetRegistryString(RegRoot::ClassesRoot, ".prg", "", "ProgDatei");
             os.SetRegistryString(RegRoot::ClassesRoot, "ProgDatei", "", "Alt");
             os.SetRegistryString(RegRoot::ClassesRoot, "ProgDatei\\shell\\open\\command", "",
                                  "C:\\Alt\\Prog.exe %1");
         },
         true, "ProgDatei|Prog-Dokument|" + command,
         "Dateierweiterung=.prg\nDateityp=ProgDatei\nBeschreibung=Alt\n"
         "Programm=C:\\Alt\\Prog.exe %1\nIstNeueErweiterung=0\nIstNeuerTyp=1\n"
         "NeuerTypName=ProgDatei\nNeuerTypVorher=1\nNeuerTypBeschreibung=Alt\n"
         "NeuerTypProgramm=C:\\Alt\\Prog.exe %1\n",
         "<none>"},
        {"an existing type for a new extension: what it held is logged, values quoted",
         "[Registry]\nDateiErweiterung=.prg\nDateityp=txtfile\nBeschreibung=Prog-Text\n"
         "Programm=@@INSTDIR@@Prog.exe\n",
         [](platform::PosixOs& os) {
             os.SetRegistryString(RegRoot::ClassesRoot, "txtfile", "", " Textdatei ");
             os.SetRegistryString(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command", "",
                                  "\"C:\\WINDOWS\\notepad.exe\" \"%1\"");
         },
         true, "txtfile|Prog-Text|" + command,
         "Dateierweiterung=.prg\nDateityp=\nBeschreibung=\nProgramm=\nIstNeueErweiterung=1\n"
         "IstNeuerTyp=1\nNeuerTypName=txtfile\nNeuerTypVorher=1\n"
         "NeuerTypBeschreibung= Textdatei \n"
         "NeuerTypProgramm=\"C:\\WINDOWS\\notepad.exe\" \"%1\"\n",
         "<none>"},
        {"no uninstaller: the association unlogged, no uninstall entry",
         kAssociation + "SoftwareKey=ProgKey\n", nothing, false,
         "ProgDatei|Prog-Dokument|" + command, "", "<none>"},
        {"no program: no association, the uninstall entry still",
         "[Registry]\nDateiErweiterung=.prg\nDateityp=ProgDatei\nBeschreibung=B\nSoftwareKey="
         "ProgKey\n",
         nothing, true, "<none>", "SoftwareKey=ProgKey\n", "zelvox Prog"},
        {"a program path with blanks stays one argument",
         "[Registry]\nDateiErweiterung=.prg\n"
         "Dateityp=ProgDatei\nBeschreibung=B\nProgramm=@@INSTDIR@@Mein Prog.exe\n",
         nothing, false, "ProgDatei|B|\"C:\\Eigene Programme\\Mein Prog.exe\" \"%1\"", "", "<none>",
         "ZielVerz=C:\\Eigene Programme\n"},
    };
    for (const RegistryCase& c : cases) {
        SCOPED_TRACE(c.name);
        windows_.Os().RemoveRegistryKey(RegRoot::ClassesRoot, ".prg");
        windows_.Os().RemoveRegistryKey(RegRoot::ClassesRoot, "ProgDatei");
        windows_.Os().RemoveRegistryKey(RegRoot::ClassesRoot, "txtfile");
        windows_.Os().RemoveRegistryKey(RegRoot::LocalMachine, kEntry);
        windows_.WriteFile(kLog, "");
        c.before(windows_.Os());
        WriteProgScript(c.sections, c.uninstaller, c.progInfos);
        Run("click BtnWeiter\nanswer &Nein\nclick BtnWeiter\nexpect page 3");
        const std::string extension = Value(RegRoot::ClassesRoot, ".prg");
        EXPECT_EQ(extension == "<none>"
                      ? extension
                      : extension + "|" + Value(RegRoot::ClassesRoot, extension) + "|" +
                            Value(RegRoot::ClassesRoot, extension + "\\shell\\open\\command"),
                  c.association);
        EXPECT_EQ(LogSection("Registry"), c.registryLog);
        EXPECT_EQ(Value(RegRoot::LocalMachine, kEntry, "DisplayName"), c.displayName);
        if (c.displayName != "<none>") {
            EXPECT_EQ(Value(RegRoot::LocalMachine, kEntry, "UninstallString"),
                      "\"" + std::string(kUninstaller) + "\"");
        }
    }
}

// Errors end the step through the general error box and fail the installation;
// what the step logged before it wrote stays logged, for the uninstaller.
TEST_F(RegistryEntries, ErrorsEndTheStep) {
    struct ErrorCase {
        const char* name;
        std::function<void(platform::PosixOs&)> before;
        std::string error;
        std::string registryLog;
    };
    const ErrorCase cases[] = {
        {"a previous type that is no string",
         [](platform::PosixOs& os) { os.SetRegistryNumber(RegRoot::ClassesRoot, ".prg", "", 7); },
         "Ungültiger Datentyp für ''", ""},
        {"a registry that can't be written",
         [](platform::PosixOs& os) { os.SetRegistryReadOnly(true); },
         "Konnte Daten für '' nicht setzen.",
         "Dateierweiterung=.prg\nDateityp=\nBeschreibung=\nProgramm=\nIstNeueErweiterung=1\n"
         "IstNeuerTyp=1\nNeuerTypName=ProgDatei\nNeuerTypVorher=0\nNeuerTypBeschreibung=\n"
         "NeuerTypProgramm=\n"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        windows_.Os().RemoveRegistryKey(RegRoot::ClassesRoot, ".prg");
        windows_.Os().SetRegistryReadOnly(false);
        c.before(windows_.Os());
        WriteProgScript(kAssociation + "SoftwareKey=ProgKey\n");
        auto result =
            Run("click BtnWeiter\nanswer &Nein\nanswer OK\nclick BtnWeiter\nexpect page 3\n"
                "expect InstallOk no\nclick BtnWeiter\nexpect page 4");
        ASSERT_EQ(result.dialogs.size(), 2u);
        EXPECT_EQ(result.dialogs[1].text, c.error);
        EXPECT_EQ(result.dialogs[1].caption, " Installation");
        EXPECT_EQ(LogSection("Registry"), c.registryLog);
        windows_.Os().SetRegistryReadOnly(false);
        EXPECT_EQ(Value(RegRoot::LocalMachine, kEntry, "DisplayName"), "<none>");
    }
}

// The uninstall entry and the log of a first run are what the existing-installation
// check of a second run of the same medium finds.
TEST_F(RegistryEntries, SecondRunFindsTheFirstInstallation) {
    WriteProgScript(
        "[Update]\nAnbieten=1\nExeName=Prog.exe\n" + kAssociation + "SoftwareKey=ProgKey\n", true,
        "ZielVerz=C:\\Ziel\nVersion=2.0\n");
    Run("click BtnWeiter\nanswer &Ja\nclick BtnWeiter\nclick BtnWeiter\nexpect page 4");
    auto second = Run("answer &Nein\nexpect running");
    ASSERT_FALSE(second.dialogs.empty());
    EXPECT_EQ(second.dialogs[0].text,
              "Im Ordner C:\\Ziel\\ wurde eine existierende Version des Programms \"Prog\" "
              "gefunden.\n\r\rMöchten Sie die existierende Installation überschreiben?\n\r\r");
}

}  // namespace
}  // namespace setup::app
