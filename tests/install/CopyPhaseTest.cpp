// The copy phase through the wizard: plain files and archives into folders,
// diskettes, the overwrite question and its answers, failures, the uninstaller
// and the uninstall log.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/WidgetNames.h"
#include "install/OverwriteQuestion.h"
#include "support/WizardTest.h"
#include "support/zipenc/Crc32.h"
#include "support/zipenc/ZipEntries.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"

namespace setup::app {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A deflated entry made of one final stored block.
zipenc::ZipEntry DeflatedEntry(std::string name, std::string_view plain) {
    zipenc::ZipEntry entry = zipenc::StoredEntry(std::move(name), Bytes(plain));
    const auto length = static_cast<std::uint16_t>(plain.size());
    entry.method = 8;
    entry.versionNeeded = 20;
    entry.data = {1, static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                  static_cast<std::uint8_t>(~length), static_cast<std::uint8_t>(~length >> 8)};
    entry.data.insert(entry.data.end(), plain.begin(), plain.end());
    entry.compressedSize = static_cast<std::uint32_t>(entry.data.size());
    return entry;
}

std::string Archive(std::vector<zipenc::ZipEntry> entries) {
    zipenc::ZipWriter writer;
    for (auto& entry : entries) {
        writer.Add(std::move(entry));
    }
    return Text(writer.Finish());
}

constexpr const char* kHeader = "[ProgInfos]\nName=Prog\nZielVerz=C:\\Ziel\n";
constexpr const char* kWithUninstaller =
    "[ProgInfos]\nName=Prog\nZielVerz=C:\\Ziel\nUninstaller=Uninst.exe\n";
constexpr const char* kLog = "C:\\WINDOWS\\Uninstall Prog.ini";
constexpr const char* kUninstaller = "C:\\WINDOWS\\Uninstall Prog.exe";

class CopyPhase : public FormTest {
  protected:
    // Leaves the folder page, which runs the copy phase in the same click.
    TMainForm& Install(std::vector<std::string> answers, std::vector<std::string> arguments = {}) {
        for (auto& a : answers) {
            host_.QueueAnswer(std::move(a));
        }
        TMainForm& form = CreateForm(std::move(arguments));
        form.Paint();
        form.Click(kBtnWeiter);
        EXPECT_TRUE(host_.PendingAnswers().empty()) << Joined(host_.Transcript());
        for (const auto& failure : host_.Failures()) {
            ADD_FAILURE() << failure << "\n" << Joined(host_.Transcript());
        }
        return form;
    }

    std::vector<std::string> FileLines() {
        std::vector<std::string> lines;
        for (const auto& line : host_.Transcript()) {
            if (line.starts_with("file ")) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    std::vector<std::string> DialogTexts() {
        std::vector<std::string> texts;
        for (const auto& dialog : host_.Dialogs()) {
            texts.push_back(dialog.text);
        }
        return texts;
    }

    // Every [Dateien] record of the uninstall log.
    std::string LoggedFiles(const char* section = "Dateien") {
        IniFile log(kLog);
        std::string text;
        for (const auto& key : log.ReadSectionKeys(section)) {
            text += key + "=" + log.ReadString(section, key, "") + "\n";
        }
        return text;
    }

    std::string ShownResult() {
        std::string shown;
        for (auto name : {kMsgKopierenErfolg, kMsgKopierenFehler, kMsgKopierenAbbruch}) {
            if (form_->Model().Get(name).visible) {
                shown += name;
            }
        }
        return shown;
    }
};

TEST_F(CopyPhase, PlainFilesAndArchivesOfEveryMethodReachTheirFolders) {
    WriteScript(std::string(kWithUninstaller) +
                "[Dateien]\n"
                "Prog.exe=@@INSTDIR@@\n"
                "Daten\\Kunden.csv=@@INSTDIR@@Daten\\\n"
                "A_STORE.ZIP@1=@@INSTDIR@@Archiv\\\n"
                "Treiber#A_SHRINK.ZIP@1=@@SYSDIR@@\n"
                "A_IMPL.ZIP@1=\n"
                "A_DEFL.ZIP@1=@@INSTDIR@@Archiv\\\n"
                "Hilfe#Hilfe.txt=@@INSTDIR@@\n"
                "[Auswahl]\nHilfe=0\nTreiber=0;2\n");
    const std::string text = "Daten, Daten, Daten und noch mehr Daten.\r\n";
    windows_.WriteFile("D:\\Prog.exe", "MZ program");
    windows_.WriteFile("D:\\Daten\\Kunden.csv", "Name;Ort\r\n");
    windows_.WriteFile("D:\\A_STORE.ZIP",
                       Archive({zipenc::StoredEntry("Stored.txt", Bytes(text))}));
    // Only the last entry of an archive is installed.
    windows_.WriteFile("D:\\A_SHRINK.ZIP",
                       Archive({zipenc::StoredEntry("First.txt", Bytes("x")),
                                zipenc::ShrunkEntry("Shrunk.dll", Bytes(text))}));
    windows_.WriteFile("D:\\A_IMPL.ZIP",
                       Archive({zipenc::ImplodedEntry("Imploded.txt", Bytes(text))}));
    windows_.WriteFile("D:\\A_DEFL.ZIP", Archive({DeflatedEntry("Deflated.txt", text)}));
    windows_.WriteFile("D:\\Hilfe.txt", "not installed");
    windows_.WriteFile("D:\\Uninst.exe", "MZ uninstaller");
    windows_.WriteFile("C:\\Ziel\\Prog.exe", "old");

    TMainForm& form = Install({"&Ja"});
    EXPECT_EQ(FileLines(), (std::vector<std::string>{
                               "file D:\\Prog.exe -> C:\\Ziel\\Prog.exe: replaced",
                               "file D:\\Daten\\Kunden.csv -> C:\\Ziel\\Daten\\Kunden.csv: new",
                               "file D:\\A_STORE.ZIP -> C:\\Ziel\\Archiv\\Stored.txt: new",
                               "file D:\\A_SHRINK.ZIP -> C:\\WINDOWS\\SYSTEM32\\Shrunk.dll: new",
                               "file D:\\A_IMPL.ZIP -> C:\\Ziel\\Imploded.txt: new",
                               "file D:\\A_DEFL.ZIP -> C:\\Ziel\\Archiv\\Deflated.txt: new",
                               "file D:\\Uninst.exe -> C:\\Ziel\\Archiv\\Uninst.exe: new",
                           }));
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Prog.exe"), "MZ program");
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Daten\\Kunden.csv"), "Name;Ort\r\n");
    for (auto path : {"C:\\Ziel\\Archiv\\Stored.txt", "C:\\WINDOWS\\SYSTEM32\\Shrunk.dll",
                      "C:\\Ziel\\Imploded.txt", "C:\\Ziel\\Archiv\\Deflated.txt"}) {
        EXPECT_EQ(windows_.ReadFile(path), text) << path;
    }
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\First.txt"));
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\Hilfe.txt"));
    // The uninstaller went beside the log; its intermediate copy is gone.
    EXPECT_EQ(windows_.ReadFile(kUninstaller), "MZ uninstaller");
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\Archiv\\Uninst.exe"));
    EXPECT_EQ(LoggedFiles(),
              "C:\\Ziel\\Setup.ini=0\nC:\\Ziel\\Prog.exe=1\nC:\\Ziel\\Daten\\Kunden.csv=0\n"
              "C:\\Ziel\\Archiv\\Stored.txt=0\nC:\\WINDOWS\\SYSTEM32\\Shrunk.dll=0\n"
              "C:\\Ziel\\Imploded.txt=0\nC:\\Ziel\\Archiv\\Deflated.txt=0\n");
    // Every folder made, after the installation folder (there before: its file was).
    EXPECT_EQ(LoggedFiles("Ordner"), "C:\\Ziel\\=1\nC:\\Ziel\\Daten\\=0\nC:\\Ziel\\Archiv\\=0\n");
    EXPECT_EQ(ShownResult(), kMsgKopierenErfolg);
    EXPECT_TRUE(form.State().InstallOk);
    EXPECT_TRUE(form.Model().Get(kBtnWeiter).enabled);
    EXPECT_FALSE(form.Model().Get(kPanelDateinamen).visible);
    EXPECT_FALSE(form.Model().BusyCursor());
}

struct AnswerCase {
    const char* name;
    std::vector<std::string> answers;
    std::vector<const char*> outcomes;  // of A, B, C, D in turn
    std::string_view shown;
    std::vector<std::string> questions;  // the files asked about, in order
};

// Four files whose targets all exist but C's; B_BAD.ZIP is no archive.
TEST_F(CopyPhase, AnswersCarryFromOneFileToTheNext) {
    const AnswerCase cases[] = {
        {"each answer for its own file",
         {"&Ja", "&Nein", "&Ja"},
         {"replaced", "declined", "new", "replaced"},
         kMsgKopierenAbbruch,
         {"A", "B", "D"}},
        {"all: no further question",
         {"&Alles"},
         {"replaced", "replaced", "new", "replaced"},
         kMsgKopierenErfolg,
         {"A"}},
        {"cancel ends the run after this file",
         {"Abbrechen"},
         {"declined"},
         kMsgKopierenAbbruch,
         {"A"}},
        {"an error dialog replaces all",
         {"&Alles", "OK", "OK", "&Nein"},
         {"replaced", "archive unreadable", "new", "declined"},
         kMsgKopierenFehler,
         {"A", "D"}},
        {"cancel in an error dialog ends the run",
         {"&Alles", "OK", "Abbrechen"},
         {"replaced", "archive unreadable"},
         kMsgKopierenFehler,
         {"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host_.Transcript().clear();
        host_.Dialogs().clear();
        const bool badArchive = std::string(c.name).find("error") != std::string::npos;
        WriteScript(std::string(kHeader) + "[Dateien]\nA.txt=\n" +
                    (badArchive ? "B_BAD.ZIP@1=\n" : "B.txt=\n") + "C.txt=\nD.txt=\n");
        for (auto name : {"A.txt", "B.txt", "C.txt", "D.txt"}) {
            windows_.WriteFile(std::string("D:\\") + name, std::string("neu ") + name);
            windows_.WriteFile(std::string("C:\\Ziel\\") + name, std::string("alt ") + name);
        }
        windows_.WriteFile("D:\\B_BAD.ZIP", "no archive");
        std::filesystem::remove(windows_.HostPath("C:\\Ziel\\C.txt"));
        Install(c.answers);

        const auto lines = FileLines();
        ASSERT_EQ(lines.size(), c.outcomes.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].ends_with(std::string(": ") + c.outcomes[i])) << lines[i];
            if (std::string_view(c.outcomes[i]) == "declined") {
                const std::string name = std::string(1, static_cast<char>('A' + i)) + ".txt";
                EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\" + name), "alt " + name);
            }
        }
        std::vector<std::string> asked;
        for (const auto& text : DialogTexts()) {
            if (text.starts_with("Soll die existierende Datei\r\nC:\\Ziel\\")) {
                asked.push_back(text.substr(37, 1));
            }
        }
        EXPECT_EQ(asked, c.questions);
        EXPECT_EQ(ShownResult(), c.shown);
    }
}

TEST_F(CopyPhase, FailuresAreReportedWithTheScriptsNameAndKeepTheOldFile) {
    WriteScript(std::string(kHeader) +
                "[Dateien]\nSchreib.txt=\nX_BAD.ZIP@1=\nKaputt_.ZIP@1=\nLeer_.ZIP@1=\n");
    windows_.WriteFile("D:\\Schreib.txt", "neu");
    windows_.WriteFile("C:\\Ziel\\Schreib.txt", "alt");
    windows_.Os().Files().SetAttributes("C:\\Ziel\\Schreib.txt", platform::attr::kReadOnly);
    windows_.WriteFile("D:\\X_BAD.ZIP", "PK no archive");
    auto damaged = zipenc::StoredEntry("Daten.bin", Bytes("richtige Daten"));
    damaged.crc ^= 1;
    windows_.WriteFile("D:\\Kaputt_.ZIP", Archive({damaged}));
    windows_.WriteFile("C:\\Ziel\\Daten.bin", "alte Daten");
    windows_.WriteFile("D:\\Leer_.ZIP", Archive({}));

    TMainForm& form = Install({"&Ja", "OK", "OK", "OK", "&Ja", "OK", "OK", "OK"});
    EXPECT_EQ(DialogTexts(),
              (std::vector<std::string>{
                  "Soll die existierende Datei\r\nC:\\Ziel\\Schreib.txt vom " +
                      install::DescribeDosDateTime(
                          static_cast<std::uint32_t>(FileDateOf("C:\\Ziel\\Schreib.txt"))) +
                      "\r\r\nmit dieser Datei\r\nD:\\Schreib.txt vom " +
                      install::DescribeDosDateTime(
                          static_cast<std::uint32_t>(FileDateOf("D:\\Schreib.txt"))) +
                      "\r\r\n überschrieben werden?",
                  "Die Datei Schreib.txt konnte nicht kopiert werden!",
                  "D:\\X_BAD.ZIP ist keine ZipFile!",
                  "Probleme beim Entpacken der Datei X_BAD.ZIP!",
                  "Soll die existierende Datei\r\nC:\\Ziel\\Daten.bin vom " +
                      install::DescribeDosDateTime(
                          static_cast<std::uint32_t>(FileDateOf("C:\\Ziel\\Daten.bin"))) +
                      "\r\r\nmit dieser Datei\r\nDaten.bin vom 01.01.1980\r\r\n überschrieben "
                      "werden?",
                  "Die Datei Kaputt_.ZIP konnte nicht kopiert werden!",
                  "D:\\Leer_.ZIP ist keine ZipFile!",
                  "Probleme beim Entpacken der Datei Leer_.ZIP!",
              }));
    EXPECT_EQ(host_.Dialogs()[2].caption, " Installation");
    EXPECT_EQ(host_.Dialogs()[1].caption, "Fehler");
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Schreib.txt"), "alt");
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Daten.bin"), "alte Daten");
    EXPECT_EQ(ShownResult(), kMsgKopierenFehler);
    EXPECT_FALSE(form.State().InstallOk);
}

// A file system whose plain copies (all but the script's) break off half way, as a
// damaged diskette does, and where the uninstall log can be replaced only so many
// times (a full disk).
class BrokenCopies final : public platform::FileSystem {
  public:
    explicit BrokenCopies(platform::FileSystem& inner) : inner_(inner) {}
    bool breakCopies = true;
    int logWritesLeft = -1;  // -1: no limit
    std::optional<platform::FoundEntry> FindFirst(std::string_view p) override {
        return inner_.FindFirst(p);
    }
    std::uint32_t GetAttributes(std::string_view p) override { return inner_.GetAttributes(p); }
    bool SetAttributes(std::string_view p, std::uint32_t a) override {
        return inner_.SetAttributes(p, a);
    }
    std::optional<std::uint32_t> ToLocalDosDateTime(platform::FileTime t) override {
        return inner_.ToLocalDosDateTime(t);
    }
    bool SetLastWriteDos(std::string_view p, std::uint32_t d) override {
        return inner_.SetLastWriteDos(p, d);
    }
    bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override {
        if (!breakCopies || to.ends_with("\\Setup.ini")) {
            return inner_.CopyFile(from, to, failIfExists);
        }
        auto file = inner_.Open(to, platform::OpenMode::CreateWrite);
        const std::uint8_t half[] = {'h', 'a', 'l', 'b'};
        return file && file->Write(half) == 4 && file->Close() && false;
    }
    bool MoveFile(std::string_view f, std::string_view t, bool r) override {
        if (t == kLog && logWritesLeft >= 0 && logWritesLeft-- == 0) {
            logWritesLeft = 0;
            return false;
        }
        return inner_.MoveFile(f, t, r);
    }
    bool DeleteFile(std::string_view p) override { return inner_.DeleteFile(p); }
    bool CreateFolder(std::string_view p) override { return inner_.CreateFolder(p); }
    std::string GetCurrentFolder() override { return inner_.GetCurrentFolder(); }
    bool SetCurrentFolder(std::string_view p) override { return inner_.SetCurrentFolder(p); }
    std::unique_ptr<platform::File> Open(std::string_view p, platform::OpenMode m) override {
        return inner_.Open(p, m);
    }
    bool RemoveFolder(std::string_view p) override { return inner_.RemoveFolder(p); }
    std::vector<platform::FoundEntry> ListFolder(std::string_view p) override {
        return inner_.ListFolder(p);
    }
    bool DeleteWhenUnused(std::string_view p) override { return inner_.DeleteWhenUnused(p); }

  private:
    platform::FileSystem& inner_;
};

class WithBrokenCopies final : public platform::Os {
  public:
    explicit WithBrokenCopies(platform::Os& inner) : inner_(inner), files_(inner.Files()) {}
    platform::ProfileFiles& Profiles() override { return inner_.Profiles(); }
    platform::Registry& Reg() override { return inner_.Reg(); }
    platform::FileSystem& Files() override { return files_; }
    platform::SystemInfo& System() override { return inner_.System(); }
    platform::MessageThread& Thread() override { return inner_.Thread(); }
    platform::Shell& ShellServices() override { return inner_.ShellServices(); }

  private:
    platform::Os& inner_;

  public:
    BrokenCopies files_;
};

TEST_F(CopyPhase, ACopyBrokenOffHalfWayLeavesTheOldFileAndNoTemporary) {
    WriteScript(std::string(kHeader) + "[Dateien]\nAlt.txt=\nNeu.txt=\n");
    windows_.WriteFile("D:\\Alt.txt", "neuer Inhalt");
    windows_.WriteFile("D:\\Neu.txt", "neu");
    windows_.WriteFile("C:\\Ziel\\Alt.txt", "alter Inhalt");
    windows_.Os().Files().SetLastWriteDos("C:\\Ziel\\Alt.txt", 0x2A214C21);
    WithBrokenCopies broken(windows_.Os());
    platform::ScopedOs scoped(broken);

    Install({"&Ja", "OK", "OK"});
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Alt.txt"), "alter Inhalt");
    EXPECT_EQ(FileDateOf("C:\\Ziel\\Alt.txt"), 0x2A214C21);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(windows_.HostPath("C:\\Ziel"))) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Alt.txt", "Setup.ini"}));
}

// The log keeps its last complete version when it can't be written; the error
// box tells it, the step ends and the installation is not complete.
TEST_F(CopyPhase, ALogThatCantBeWrittenKeepsItsLastCompleteVersion) {
    WriteScript(std::string(kWithUninstaller) + "[Dateien]\nA.txt=\nB.txt=\nC.txt=\n");
    for (auto name : {"A.txt", "B.txt", "C.txt", "Uninst.exe"}) {
        windows_.WriteFile(std::string("D:\\") + name, name);
    }
    WithBrokenCopies broken(windows_.Os());
    broken.files_.breakCopies = false;
    broken.files_.logWritesLeft = 4;  // the program's name, the folder, the script copy, A.txt
    platform::ScopedOs scoped(broken);

    TMainForm& form = Install({"OK"});
    EXPECT_EQ(DialogTexts(),
              (std::vector<std::string>{
                  "nach C:\\WINDOWS\\Uninstall Prog.ini kann nicht geschrieben werden."}));
    EXPECT_EQ(LoggedFiles(), "C:\\Ziel\\Setup.ini=0\nC:\\Ziel\\A.txt=0\n");
    EXPECT_TRUE(windows_.ReadFile(kLog).starts_with("[Programm]\r\nName=Prog\r\n"));
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\C.txt"));
    EXPECT_EQ(ShownResult(), kMsgKopierenFehler);
    EXPECT_FALSE(form.State().InstallOk);
    EXPECT_TRUE(form.Model().Get(kBtnWeiter).enabled);
}

// Two entries installing one file: the log says the run created it. An entry
// whose target is the log or the uninstaller fails and leaves them alone.
TEST_F(CopyPhase, TheLogAndTheUninstallerAreNoTargets) {
    WriteScript(std::string(kWithUninstaller) +
                "[Dateien]\nA.txt=\nNeu\\A.txt=\nUninstall Prog.ini=@@WINDIR@@\n"
                "Uninstall Prog.exe=C:\\windows\\\n");
    for (auto name : {"A.txt", "Neu\\A.txt", "Uninstall Prog.ini", "Uninstall Prog.exe"}) {
        windows_.WriteFile(std::string("D:\\") + name, "fremd");
    }
    windows_.WriteFile("D:\\Uninst.exe", "MZ uninstaller");

    TMainForm& form = Install({"&Ja", "OK", "OK"});
    const auto texts = DialogTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1],
              "Die Datei Uninstall Prog.ini wurde nicht kopiert, weil sie das "
              "Deinstallationsprotokoll ersetzen würde!");
    EXPECT_EQ(texts[2],
              "Die Datei Uninstall Prog.exe wurde nicht kopiert, weil sie das "
              "Deinstallationsprogramm ersetzen würde!");
    EXPECT_EQ(LoggedFiles(), "C:\\Ziel\\Setup.ini=0\nC:\\Ziel\\A.txt=0\n");
    EXPECT_EQ(IniFile(kLog).ReadString("Programm", "Name", ""), "Prog");
    EXPECT_EQ(windows_.ReadFile(kUninstaller), "MZ uninstaller");
    EXPECT_FALSE(form.State().InstallOk);
}

TEST_F(CopyPhase, ReplacingKeepsTheSourcesAttributesAndDate) {
    WriteScript(std::string(kHeader) + "[Dateien]\nA.txt=\n");
    windows_.WriteFile("D:\\A.txt", "neu");
    windows_.Os().Files().SetLastWriteDos("D:\\A.txt", 0x2A214C21);
    windows_.Os().Files().SetAttributes("D:\\A.txt", platform::attr::kReadOnly);
    windows_.WriteFile("C:\\Ziel\\A.txt", "alt");
    Install({"&Ja"});
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\A.txt"), "neu");
    EXPECT_EQ(FileDateOf("C:\\Ziel\\A.txt"), 0x2A214C21);
    EXPECT_NE(windows_.Os().Files().GetAttributes("C:\\Ziel\\A.txt") & platform::attr::kReadOnly,
              0u);
}

TEST_F(CopyPhase, DiskettesArePromptedForAndDuplicatesInstalledOnce) {
    windows_.WriteFile("D:\\Setup.ini", std::string(kWithUninstaller) +
                                            "[Disketten]\nAnzahl=2\n"
                                            "[Diskette1]\nA.txt=\nB.txt=C:\\Woanders\\\n"
                                            "[Diskette2]\nb.TXT=\nC.txt=\n");
    for (auto name : {"A.txt", "B.txt", "Uninst.exe"}) {
        windows_.WriteFile(std::string("D:\\") + name, name);
    }
    const std::filesystem::path second = windows_.Root() / "disk2";
    std::filesystem::create_directories(second);
    host_.SetDialogHook([&](const MessageDialog& dialog) {
        if (dialog.text.starts_with("Die Datei \"C.txt\"")) {
            std::filesystem::copy_file(windows_.MediumFolder() / "Uninst.exe",
                                       second / "Uninst.exe");
            std::ofstream(second / "C.txt") << "C";
            windows_.Os().MapDrive('D', second);
        }
    });
    TMainForm& form = Install({"OK"});
    EXPECT_EQ(DialogTexts(), (std::vector<std::string>{
                                 "Die Datei \"C.txt\" befindet sich nicht im angegebenen "
                                 "Quellverzeichnis.\n\r\rBitte legen Sie den Datenträger ein, auf "
                                 "dem diese Datei gespeichert ist."}));
    EXPECT_EQ(FileLines().size(), 4u);  // A, B, C and the uninstaller
    // Keys of diskette lists go to the installation folder whatever their values.
    for (auto path : {"C:\\Ziel\\A.txt", "C:\\Ziel\\B.txt", "C:\\Ziel\\C.txt", kUninstaller}) {
        EXPECT_TRUE(windows_.Exists(path)) << path;
    }
    EXPECT_EQ(ShownResult(), kMsgKopierenErfolg);
    EXPECT_TRUE(form.State().InstallOk);
}

TEST_F(CopyPhase, CancelInTheSourcePromptKeepsWhatWasInstalled) {
    WriteScript(std::string(kWithUninstaller) + "[Dateien]\nA.txt=\nB.txt=\nC.txt=\nD.txt=\n");
    for (auto name : {"A.txt", "B.txt", "D.txt", "Uninst.exe"}) {
        windows_.WriteFile(std::string("D:\\") + name, name);
    }
    TMainForm& form = Install({"Abbrechen"});
    EXPECT_EQ(FileLines().size(), 3u);  // A, B and the uninstaller
    EXPECT_TRUE(windows_.Exists(kUninstaller));
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\D.txt"));
    EXPECT_EQ(LoggedFiles(), "C:\\Ziel\\Setup.ini=0\nC:\\Ziel\\A.txt=0\nC:\\Ziel\\B.txt=0\n");
    EXPECT_EQ(ShownResult(), kMsgKopierenAbbruch);
    EXPECT_TRUE(form.State().InstallOk);
}

TEST_F(CopyPhase, MoreThan255FilesAreAllInstalled) {
    std::string list = "[Dateien]\n";
    for (int i = 0; i < 300; ++i) {
        const std::string name = "F" + std::to_string(i) + ".txt";
        list += name + "=\n";
        windows_.WriteFile("D:\\" + name, "");
    }
    WriteScript(kHeader + list);
    Install({});
    EXPECT_EQ(FileLines().size(), 300u);
    EXPECT_TRUE(windows_.Exists("C:\\Ziel\\F299.txt"));
}

TEST_F(CopyPhase, NoFilesAtAllIsAFailure) {
    windows_.WriteFile("D:\\Setup.ini", std::string(kHeader) + "[Diskette1]\n");
    TMainForm& form = Install({"OK"});
    EXPECT_EQ(
        DialogTexts(),
        (std::vector<std::string>{"Auf der Installationsdiskette befinden sich keine Dateien!"}));
    EXPECT_EQ(ShownResult(), kMsgKopierenFehler);
    EXPECT_FALSE(form.State().InstallOk);
}

// A target that expands to no full local path (a misspelt token, a folder value
// missing, empty or of the wrong type on this system) fails that file alone: the
// list goes on, the uninstaller is placed and the page ends as usual.
TEST_F(CopyPhase, TargetsThatAreNoLocalPathFailTheirFileOnly) {
    WriteScript(std::string(kWithUninstaller) +
                "[Dateien]\nA.txt=@@INSTDIRR@@Daten\\\nB.txt=@@CONFIG@@Sub\\\n"
                "C.txt=@@PRGDIR@@Muster\\\nD.txt=@@MEDIA@@\nE.txt=\n");
    for (auto name : {"A.txt", "B.txt", "C.txt", "D.txt", "E.txt", "Uninst.exe"}) {
        windows_.WriteFile(std::string("D:\\") + name, name);
    }
    constexpr const char* kVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    auto& os = windows_.Os();
    os.RemoveRegistryValue(platform::RegRoot::LocalMachine, kVersion, "ConfigPath");
    os.SetRegistryString(platform::RegRoot::LocalMachine, kVersion, "ProgramFilesDir", "");
    os.SetRegistryNumber(platform::RegRoot::LocalMachine, kVersion, "MediaPath", 5);
    TMainForm& form = Install({"OK", "OK", "OK", "OK"});
    EXPECT_EQ(DialogTexts(), (std::vector<std::string>{
                                 "Die Datei A.txt konnte nicht kopiert werden!",
                                 "Die Datei B.txt konnte nicht kopiert werden!",
                                 "Die Datei C.txt konnte nicht kopiert werden!",
                                 "Die Datei D.txt konnte nicht kopiert werden!",
                             }));
    EXPECT_EQ(LoggedFiles(), "C:\\Ziel\\Setup.ini=0\nC:\\Ziel\\E.txt=0\n");
    EXPECT_TRUE(windows_.Exists(kUninstaller));
    EXPECT_EQ(ShownResult(), kMsgKopierenFehler);
    EXPECT_FALSE(form.State().InstallOk);
    EXPECT_TRUE(form.Model().Get(kBtnWeiter).enabled);
}

// A file where a target folder should be fails the files meant for that folder,
// plain or packed, and leaves the file alone; the rest of the list is installed.
TEST_F(CopyPhase, AFileInTheWayOfItsFolderFailsThatFolder) {
    WriteScript(std::string(kHeader) +
                "[Dateien]\nA.txt=C:\\Ziel\\Daten\\\nB_.ZIP=C:\\Ziel\\Daten\\Tief\\\n"
                "C.txt=\n");
    windows_.WriteFile("D:\\A.txt", "a");
    windows_.WriteFile("D:\\B_.ZIP", Archive({zipenc::StoredEntry("B.txt", Bytes("b"))}));
    windows_.WriteFile("D:\\C.txt", "c");
    windows_.WriteFile("C:\\Ziel\\Daten", "im Weg");
    TMainForm& form = Install({"OK", "OK"});
    EXPECT_EQ(DialogTexts(), (std::vector<std::string>{
                                 "Die Datei A.txt konnte nicht kopiert werden!",
                                 "Die Datei B_.ZIP konnte nicht kopiert werden!",
                             }));
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\Daten"), "im Weg");
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\C.txt"), "c");
    EXPECT_EQ(ShownResult(), kMsgKopierenFehler);
    EXPECT_FALSE(form.State().InstallOk);
}

struct PlacementCase {
    const char* name;
    const char* files;        // [Dateien]
    const char* uninstaller;  // its name on the medium
    std::vector<std::string> answers;
    bool placed;
    const char* intermediateLeft;  // "" when none stays
    const char* before = "";       // what C:\Ziel\Uninst.exe held before, "" nothing
};

TEST_F(CopyPhase, TheUninstallerLandsWhereItShould) {
    const PlacementCase cases[] = {
        {"nothing installed: the installation folder takes the copy",
         "M#A.txt=C:\\Sonst\\\n",
         "Uninst.exe",
         {},
         true,
         ""},
        {"also a listed file: the intermediate copy stays",
         "Uninst.exe=\n",
         "Uninst.exe",
         {"&Ja"},
         true,
         "C:\\Ziel\\Uninst.exe"},
        {"a packed uninstaller", "A.txt=\n", "Uninst_.ZIP", {}, true, ""},
        // Reported like a listed file's failure.
        {"a failed listing copies nothing stale",
         "A_OK.ZIP@1=\n",
         "Uninst_.ZIP",
         {"OK"},
         false,
         ""},
        // A file of that name was there: replaced after "&Ja", but never deleted.
        {"a file there, replaced",
         "A.txt=\n",
         "Uninst.exe",
         {"&Ja"},
         true,
         "C:\\Ziel\\Uninst.exe",
         "alt"},
        {"a file there, kept: nothing placed",
         "A.txt=\n",
         "Uninst.exe",
         {"&Nein"},
         false,
         "C:\\Ziel\\Uninst.exe",
         "alt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        windows_.WriteFile("D:\\Setup.ini",
                           "[ProgInfos]\nName=Prog\nZielVerz=C:\\Ziel\n"
                           "Uninstaller=" +
                               std::string(c.uninstaller) + "\n[Dateien]\n" + c.files);
        windows_.WriteFile("D:\\A.txt", "a");
        windows_.WriteFile("D:\\Uninst.exe", "MZ");
        windows_.WriteFile("D:\\A_OK.ZIP", Archive({zipenc::StoredEntry("Gut.exe", Bytes("MZ"))}));
        const bool failing = std::string(c.name).find("failed") != std::string::npos;
        windows_.WriteFile("D:\\Uninst_.ZIP",
                           failing ? std::string("PK\3\4 damaged")
                                   : Archive({zipenc::StoredEntry("Uninst.exe", Bytes("MZ"))}));
        std::filesystem::remove_all(windows_.HostPath("C:\\Ziel"));
        std::filesystem::remove(windows_.HostPath(kUninstaller));
        if (*c.before != '\0') {
            windows_.WriteFile("C:\\Ziel\\Uninst.exe", c.before);
        }
        host_.Dialogs().clear();
        TMainForm& form = Install(c.answers);
        EXPECT_EQ(windows_.Exists(kUninstaller), c.placed);
        EXPECT_EQ(form.State().UninstallerPlaced, c.placed);
        EXPECT_FALSE(windows_.Exists("C:\\Sonst\\Uninst.exe"));
        if (*c.intermediateLeft != '\0') {
            EXPECT_TRUE(windows_.Exists(c.intermediateLeft));
        } else {
            EXPECT_FALSE(windows_.Exists("C:\\Ziel\\Uninst.exe"));
        }
    }
}

TEST_F(CopyPhase, TestModeAsksTheSameAndChangesNothing) {
    WriteScript(std::string(kWithUninstaller) + "[Dateien]\nA.txt=@@INSTDIR@@Neu\\\nB.txt=\n");
    windows_.WriteFile("D:\\A.txt", "a");
    windows_.WriteFile("D:\\B.txt", "neu");
    windows_.WriteFile("D:\\Uninst.exe", "MZ");
    windows_.WriteFile("C:\\Ziel\\B.txt", "alt");
    const std::uint32_t before = windows_.Os().System().TickCount();
    TMainForm& form = Install({"&Ja"}, {"/TEST"});
    EXPECT_EQ(FileLines(), (std::vector<std::string>{
                               "file D:\\A.txt -> C:\\Ziel\\Neu\\A.txt: new",
                               "file D:\\B.txt -> C:\\Ziel\\B.txt: replaced",
                               "file D:\\Uninst.exe -> C:\\Ziel\\Uninst.exe: new",
                           }));
    EXPECT_GE(windows_.Os().System().TickCount() - before, 4000u);  // 3 files and the pause
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\Neu"));
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\B.txt"), "alt");
    EXPECT_FALSE(windows_.Exists(kLog));
    EXPECT_FALSE(windows_.Exists(kUninstaller));
    EXPECT_EQ(ShownResult(), kMsgKopierenErfolg);
    EXPECT_TRUE(form.State().InstallOk);
}

TEST_F(CopyPhase, ACloseConfirmedDuringTheCopyEndsItAtTheNextDialog) {
    WriteScript(std::string(kWithUninstaller) + "[Dateien]\nA.txt=\nB.txt=\nC.txt=\n");
    for (auto name : {"A.txt", "B.txt", "C.txt", "Uninst.exe"}) {
        windows_.WriteFile(std::string("D:\\") + name, name);
    }
    windows_.WriteFile("C:\\Ziel\\B.txt", "alt");
    bool asked = false;
    windows_.Os().SetPumpHook([&] {
        if (!asked) {
            asked = true;
            form_->RequestClose();
        }
    });
    Install({"&Ja"});
    windows_.Os().SetPumpHook({});
    EXPECT_TRUE(windows_.Exists("C:\\Ziel\\A.txt"));
    EXPECT_EQ(windows_.ReadFile("C:\\Ziel\\B.txt"), "alt");
    EXPECT_FALSE(windows_.Exists("C:\\Ziel\\C.txt"));
    EXPECT_TRUE(windows_.Exists(kUninstaller));
    EXPECT_TRUE(host_.ProgramEnded());
}

struct DateCase {
    std::uint32_t dos;
    const char* shown;
};

TEST(OverwriteDates, ShortDateAndLongTime) {
    testing::EmulatedWindows windows;
    const auto dos = [](unsigned y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s) {
        return (y - 1980) << 25 | mo << 21 | d << 16 | h << 11 | mi << 5 | s / 2;
    };
    const DateCase cases[] = {
        {dos(2001, 2, 3, 4, 5, 6), "03.02.2001 04:05:06"},
        {dos(1999, 12, 31, 0, 0, 0), "31.12.1999"},
        {dos(2000, 2, 29, 23, 59, 58), "29.02.2000 23:59:58"},
        {dos(2001, 2, 29, 12, 0, 0), "12:00:00"},  // no such day
        {dos(2001, 0, 1, 0, 0, 0), "00:00:00"},    // month 0: the time alone, midnight too
        {dos(2001, 5, 0, 24, 0, 0), "(unbekannt)"},
        {0xFFFFFFFF, "(unbekannt)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(install::DescribeDosDateTime(c.dos), c.shown) << std::hex << c.dos;
    }
}

}  // namespace
}  // namespace setup::app
