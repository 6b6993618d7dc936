// Whatever the installer logs, its uninstaller accepts: paths spelled in ways
// Windows collapses are made and logged as Windows names them; what could only be
// made somewhere the log can't name (a relative place, a key other than one right
// under a root) is refused with a message before anything of it is made.
#include "support/WizardTest.h"
#include "uninstall/UninstallLog.h"

namespace setup::app {
namespace {

constexpr const char* kLog = "C:\\WINDOWS\\Uninstall Prog.ini";
const std::string kGroup = "C:\\WINDOWS\\Startmenü\\Programme\\Muster\\";
constexpr const char* kAssociation =
    "[Registry]\nDateiErweiterung=.mus\nBeschreibung=Muster\nProgramm=@@INSTDIR@@A.txt\n"
    "Dateityp=";
constexpr const char* kNotAKeyName =
    "\" ist kein gültiger Name für einen Schlüssel der Registrierung.";

struct PathCase {
    const char* name;
    const char* typed;       // the folder typed on the first page; "" keeps C:\Ziel
    std::string sections;    // [Dateien] (default: A.txt into the folder) and the rest
    std::string refusal;     // the message refusing an entry, "" when none
    std::string made;        // a path made and named by the log, "" when none
    std::string notMade;     // a file or folder that must not be there, "" when none
    std::string noKey = {};  // a key under the classes root and the uninstall key, "" none
};

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kTypeRefused = "Die Dateizuordnung wird nicht eingetragen: \"";

const PathCase kCases[] = {
    {"a target with a doubled backslash", "", "[Dateien]\nA.txt=@@INSTDIR@@\\Daten\\\n", "",
     "C:\\Ziel\\Daten\\A.txt", ""},
    {"a target with a slash", "", "[Dateien]\nA.txt=@@INSTDIR@@Daten/\n", "",
     "C:\\Ziel\\Daten\\A.txt", ""},
    {"a target with ..", "", "[Dateien]\nA.txt=@@INSTDIR@@..\\Daten\\\n", "", "C:\\Daten\\A.txt",
     ""},
    {"a target with a trailing blank", "", "[Dateien]\nA.txt=@@INSTDIR@@Daten \\\n", "",
     "C:\\Ziel\\Daten\\A.txt", ""},
    {"a typed folder with slashes", "C:/Ziel/Sub", "", "", "C:\\Ziel\\Sub\\", ""},
    {"a typed folder with a trailing dot", "C:\\Ziel.", "", "", "C:\\Ziel\\A.txt", ""},
    {"a typed folder with ..", "C:\\Anders\\..\\Ziel", "", "", "C:\\Ziel\\", "C:\\Anders"},
    {"a drive-relative typed folder", "C:Muster", "", "Das Verzeichnis kann nicht erstellt werden.",
     "", "C:\\Muster"},
    {"a group with a doubled backslash", "", "[ProgGruppe]\nName=@@PROGRAMS@@\\Muster\n", "",
     kGroup + "Uninstall Prog.lnk", ""},
    {"a shortcut in an empty group", "", "[ShortCuts]\n@@PRGGRP@@A.txt=A\n",
     "Fehler beim Erzeugen der Verknüpfung zum Prgramm A.txt!", "", "C:\\A.lnk"},
    {"a software key with a backslash", "", "[Registry]\nSoftwareKey=Firma\\Muster\n",
     "Der Eintrag zur Deinstallation wird nicht angelegt: \"Firma\\Muster" +
         std::string(kNotAKeyName),
     "", "", "Firma"},
    {"a file type with a backslash", "", std::string(kAssociation) + "Muster\\Dokument\n",
     kTypeRefused + "Muster\\Dokument" + kNotAKeyName, "", "", ".mus"},
    {"the file type *", "", std::string(kAssociation) + "*\n", kTypeRefused + "*" + kNotAKeyName,
     "", "", "*"},
    {"a file type that is the extension", "", std::string(kAssociation) + ".MUS\n",
     kTypeRefused.substr(0, kTypeRefused.size() - 1) +
         "Dateityp und Dateierweiterung sind gleich (\".MUS\").",
     "", "", ".mus"},
};

class UninstallablePaths : public WizardTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(UninstallablePaths, InstalledAndAcceptedByTheUninstallerOrRefused) {
    const PathCase& c = GetParam();
    SCOPED_TRACE(c.name);
    windows_.WriteFile("D:\\A.txt", "a");
    windows_.WriteFile("D:\\Uninst.exe", "MZ");
    WriteScript(std::string("[ProgInfos]\nName=Prog\nZielVerz=C:\\Ziel\nUninstaller=Uninst.exe\n") +
                (c.sections.starts_with("[Dateien]") ? "" : "[Dateien]\nA.txt=\n") + c.sections);
    const bool staysOnFolderPage = *c.typed != '\0' && c.refusal.starts_with("Das");
    std::string session = *c.typed != '\0' ? "type " + std::string(c.typed) + "\n" : "";
    if (staysOnFolderPage) {
        session += "answer OK\nclick BtnWeiter\nexpect page 0\n";
    } else {
        session += "click BtnWeiter\nanswer &Ja\n" +
                   std::string(c.refusal.empty() ? "" : "answer OK\n") +
                   "click BtnWeiter\nclick BtnWeiter\nexpect page 4\n";
    }
    const SessionResult result = Run(session);
    if (!c.refusal.empty()) {
        EXPECT_TRUE(std::any_of(result.dialogs.begin(), result.dialogs.end(),
                                [&](const auto& d) { return d.text == c.refusal; }));
    }

    const uninstall::LogReadResult read = uninstall::ReadUninstallLog(kLog);
    if (staysOnFolderPage) {
        // Refused before anything was made: the log names no folder, nothing to remove.
        EXPECT_TRUE(c.notMade.empty() || !windows_.Exists(c.notMade));
        return;
    }
    ASSERT_EQ(read.problem, uninstall::LogProblem::None) << read.entry;
    std::vector<std::string> logged;
    for (const auto& entry : {read.log->installFolder, read.log->groupFolder}) {
        if (entry) {
            logged.push_back(entry->path);
        }
    }
    for (const auto* list : {&read.log->files, &read.log->shortcuts}) {
        for (const auto& entry : *list) {
            logged.push_back(entry.path);
        }
    }
    if (!c.made.empty()) {
        EXPECT_TRUE(windows_.Exists(c.made));
        EXPECT_NE(std::find(logged.begin(), logged.end(), c.made), logged.end());
    }
    if (!c.notMade.empty()) {
        EXPECT_FALSE(windows_.Exists(c.notMade));
    }
    if (!c.noKey.empty()) {
        auto& registry = windows_.Os().Reg();
        EXPECT_EQ(registry.Open(platform::RegRoot::ClassesRoot, c.noKey), nullptr);
        EXPECT_EQ(
            registry.Open(platform::RegRoot::LocalMachine,
                          "software\\microsoft\\windows\\currentversion\\uninstall\\" + c.noKey),
            nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, UninstallablePaths, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace setup::app
