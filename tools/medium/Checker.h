// The state of one `medium check` run and the checks that read it. Private to the
// check: CheckMedium.cpp drives the run, CheckScript.cpp checks the script's text,
// CheckFiles.cpp the files on the medium and CheckArchive.cpp each archive among them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "CheckMedium.h"
#include "Diagnostics.h"
#include "platform/IniText.h"
#include "system/IniFile.h"

namespace setup::medium::checking {

inline constexpr std::string_view kInstallFolder = "@@INSTDIR@@";

std::string Quoted(std::string_view text);

// The number of a text of digits only (at most 9 of them); nothing otherwise.
std::optional<std::uint32_t> Number(std::string_view text);

class Checker {
  public:
    Checker(std::string_view folder, const CheckOptions& options);

    std::vector<Diagnostic> Run();

  private:
    // The section a file key came from and its diskette (1 without diskettes).
    struct FileKey {
        std::string key;
        std::string section;
        std::size_t disk = 1;
        std::size_t line = 0;
    };

    // A file the list installs, with its module ("" for none).
    struct Listed {
        std::string key;
        std::string module;
        std::size_t line;
    };

    // Where things stand in the script (CheckMedium.cpp).
    std::size_t SectionLine(std::string_view section) const;
    std::size_t KeyLine(std::string_view section, std::string_view key) const;
    void Add(std::size_t line, Severity severity, std::string_view rule, std::string text);
    std::vector<Diagnostic> Sorted();

    // The script's text (CheckScript.cpp).
    void ReadText(const std::string& bytes);
    void CheckLines();
    void CheckPlaceholders(std::size_t line, std::string_view text);
    void CheckModules();
    bool InstalledHere(std::string_view relative) const;
    void CheckShortcutsAndStart();
    void CheckUpdate();

    // The files on the medium (CheckFiles.cpp).
    std::vector<FileKey> ListedFiles();
    std::string DiskFolder(std::size_t disk) const;
    void CheckFiles();
    void NoteTarget(const std::string& key, const std::string& installed);
    void CheckSpelling(std::size_t line, const std::string& path, std::string_view name);
    void CheckPictureAndInfo();
    void CheckUninstaller();
    void CheckDiskettes();

    // An archive among them (CheckArchive.cpp).
    std::string CheckArchive(std::size_t line, const std::string& path, std::string_view name);

    const CheckOptions& options_;
    std::vector<std::string> disks_;
    std::string folder_;
    std::optional<platform::IniText> ini_;
    std::vector<platform::IniText::Located> lines_;
    std::optional<IniFile> script_;
    std::vector<Listed> files_;
    std::set<std::string> installedHere_;
    bool usesDiskettes_ = false;
    bool reportedIgnored_ = false;
    std::vector<Diagnostic> diagnostics_;
};

}  // namespace setup::medium::checking
