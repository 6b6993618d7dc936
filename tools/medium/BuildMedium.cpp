#include "BuildMedium.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <set>

#include "CheckMedium.h"
#include "Diskettes.h"
#include "HostNames.h"
#include "Packing.h"
#include "ScriptText.h"
#include "ZipWriter.h"
#include "install/DisketteFiles.h"
#include "system/IniFile.h"
#include "system/PathHelpers.h"

namespace setup::medium {
namespace {

namespace fs = std::filesystem;

// The rules of the extractor's checks: an archive of the source that breaks one
// would fail at installation, so it fails the build.
bool IsArchiveRule(std::string_view rule) {
    return rule == "not-zip" || rule.starts_with("zip-");
}

// A folder beside OUT that becomes OUT at the end; removed unless kept.
class Staging {
  public:
    explicit Staging(const fs::path& out) {
        const fs::path parent = fs::absolute(out).parent_path();
        std::error_code error;
        fs::create_directories(parent, error);
        std::random_device random;
        for (int attempt = 0; attempt < 16 && folder_.empty(); ++attempt) {
            const fs::path candidate =
                parent / ("." + out.filename().string() + ".building-" + std::to_string(random()));
            if (fs::create_directory(candidate, error)) {
                folder_ = candidate;
            }
        }
        if (folder_.empty()) {
            throw BuildError(out.string() + ": can't write beside it (" + error.message() + ")");
        }
    }
    ~Staging() {
        std::error_code ignored;
        if (!folder_.empty()) {
            fs::remove_all(folder_, ignored);
        }
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    const fs::path& Folder() const { return folder_; }

    // The staging folder becomes `out`; an existing `out` is replaced.
    void Commit(const fs::path& out) {
        std::error_code error;
        const fs::path old = folder_.string() + ".old";
        const bool existed = fs::exists(out, error);
        if (existed) {
            fs::rename(out, old, error);
            if (error) {
                throw BuildError(out.string() + ": can't be replaced (" + error.message() + ")");
            }
        }
        fs::rename(folder_, out, error);
        if (error) {
            if (existed) {
                fs::rename(old, out, error);
            }
            throw BuildError(out.string() + ": can't be written (" + error.message() + ")");
        }
        folder_.clear();
        fs::remove_all(old, error);
    }

  private:
    fs::path folder_;
};

// What the script asks the medium to hold, read with the installer's rules.
struct ScriptFiles {
    std::vector<std::string> keys;  // in the order the copy phase asks for them
    std::string logo;
    std::string info;
    std::string uninstaller;
};

ScriptFiles ReadScriptFiles(const BuildOptions& options, const fs::path& medium) {
    ScriptFiles files;
    options.asWindows(medium, [&](const std::string& folder) {
        const IniFile script(folder + "Setup.ini");
        files.keys = script.ReadSectionKeys("Dateien");
        if (files.keys.empty()) {
            install::CollectDisketteFiles(script, files.keys);
        }
        files.logo = script.ReadString("ProgInfos", "Logo", "");
        files.info = script.ReadString("Infodatei", "Dateiname", "");
        if (files.info.find_first_of("\\:") != std::string::npos) {
            files.info.clear();  // not on the medium
        }
        files.uninstaller = script.ReadString("ProgInfos", "Uninstaller", "");
    });
    return files;
}

// A path of the medium the script may name: relative, inside the medium.
void CheckRelative(std::string_view path) {
    const fs::path host = HostRelative(path);
    const bool outside =
        path.find(':') != std::string_view::npos || path.starts_with('\\') ||
        path.starts_with('/') ||
        std::any_of(host.begin(), host.end(), [](const fs::path& p) { return p == ".."; });
    if (path.empty() || outside) {
        throw BuildError("Setup.ini: \"" + Utf8Of(path) + "\" is no path inside the medium");
    }
}

// The unpacked file an archive is made from: in the same folder, the archive's
// name with its last "_" standing for any one character (Handbuch.tx_ from
// Handbuch.txt). Letter case is ignored, as Windows does.
std::optional<fs::path> UnpackedFile(const fs::path& source, std::string_view archive) {
    const std::string name = FileNameOf(archive);
    const std::string folder(archive.substr(0, archive.size() - name.size()));
    const std::optional<fs::path> where = folder.empty() ? source : FindNoCase(source, folder);
    const std::size_t wild = name.rfind('_');
    std::vector<fs::path> found;
    std::error_code error;
    if (!where || wild == std::string::npos) {
        return std::nullopt;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(*where, error)) {
        const std::optional<std::string> candidate = Cp1252Of(entry.path().filename());
        if (!candidate || candidate->size() != name.size() || (*candidate)[wild] == '_' ||
            !entry.is_regular_file(error)) {
            continue;
        }
        std::string pattern = *candidate;
        pattern[wild] = '_';
        if (EqualsNoCase(pattern, name)) {
            found.push_back(entry.path());
        }
    }
    if (found.size() > 1) {
        throw BuildError(source.string() + ": \"" + Utf8Of(archive) +
                         "\" could be packed from more than one file (" +
                         found[0].filename().string() + ", " + found[1].filename().string() + ")");
    }
    return found.empty() ? std::nullopt : std::optional<fs::path>(found.front());
}

// The first of `candidates` that is a file.
std::optional<fs::path> FirstFile(const std::vector<fs::path>& candidates) {
    std::error_code error;
    for (const fs::path& candidate : candidates) {
        if (fs::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

class Builder {
  public:
    Builder(const BuildOptions& options, std::ostream& log) : options_(options), log_(log) {}
    ~Builder() {
        std::error_code ignored;
        if (!zipStaging_.empty()) {
            fs::remove(zipStaging_, ignored);  // a ZIP file not finished
        }
    }
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    void Run() {
        std::error_code error;
        if (!fs::is_directory(options_.source, error)) {
            throw BuildError(options_.source.string() + ": no such folder");
        }
        // OUT is replaced at the end: it must not hold the source.
        const fs::path source = fs::weakly_canonical(fs::absolute(options_.source), error);
        const fs::path out = fs::weakly_canonical(fs::absolute(options_.out), error);
        const auto [end, at] = std::mismatch(out.begin(), out.end(), source.begin(), source.end());
        if (end == out.end()) {
            throw BuildError(options_.out.string() + ": would replace the source folder");
        }
        const std::optional<fs::path> scriptFile = FindNoCase(options_.source, "Setup.ini");
        if (!scriptFile) {
            throw BuildError((options_.source / "Setup.ini").string() + ": no such file");
        }
        const MediumScript script = ScriptForMedium(ReadWhole(*scriptFile), scriptFile->string());
        if (!script.error.empty()) {
            throw BuildError(script.error);
        }
        Staging staging(options_.out);
        medium_ = options_.disketteSize ? staging.Folder() / ".flat" : staging.Folder();
        WriteWhole(medium_ / "Setup.ini", script.text, fs::last_write_time(*scriptFile));
        placed_.insert("SETUP.INI");
        const ScriptFiles files = ReadScriptFiles(options_, medium_);
        if (files.keys.empty()) {
            throw BuildError(scriptFile->string() +
                             ": lists no file ([Dateien] and the diskette lists are empty)");
        }
        for (const std::string& key : files.keys) {
            AddListed(key);
        }
        for (const std::string& extra : {files.logo, files.info}) {
            if (!extra.empty()) {
                AddExtra(extra);
            }
        }
        AddProgram("Setup.exe", options_.setup, "Setup.exe");
        if (!files.uninstaller.empty()) {
            AddProgram(files.uninstaller, options_.uninstaller, "Uninstall.exe");
        }
        const PackTotals totals = RunJobs(jobs_, log_, options_.progressFrom);
        CheckArchives();
        std::size_t disks = 0;
        if (options_.disketteSize) {
            disks = SpreadOverDiskettes(staging.Folder(), files);
        }
        if (options_.zip) {
            WriteZip(staging.Folder());
        }
        staging.Commit(options_.out);
        if (options_.zip) {
            fs::rename(zipStaging_, *options_.zip, error);
            if (error) {
                throw BuildError(options_.zip->string() + ": can't be written");
            }
            zipStaging_.clear();
        }
        log_ << "medium: " << options_.out.string() << ": " << totals.files + 1 << " files ("
             << totals.archives << " packed here, " << taken_.size() << " archives taken), "
             << totals.before << " bytes before packing, " << totals.after << " after";
        if (disks != 0) {
            log_ << ", " << disks << " diskettes";
        }
        log_ << "\n";
    }

  private:
    // Reserves a path of the medium; false when it is placed already.
    bool Reserve(std::string_view path) {
        CheckRelative(path);
        return placed_.insert(AsciiUpper(path)).second;
    }

    void AddListed(const std::string& key) {
        const std::string path = KeyFileName(key);
        if (!Reserve(path)) {
            return;
        }
        listed_.push_back(path);
        const fs::path target = medium_ / HostRelative(path);
        if (KeyIsArchive(key) && path.find('_') == std::string::npos) {
            throw BuildError("Setup.ini: the archive \"" + Utf8Of(path) +
                             "\" (@1) needs a \"_\" in its name");
        }
        if (const std::optional<fs::path> file = FindNoCase(options_.source, path)) {
            if (KeyIsArchive(key)) {
                taken_.push_back(path);
            }
            jobs_.push_back({*file, target, {}});
            return;
        }
        if (!KeyIsArchive(key)) {
            throw BuildError((options_.source / HostRelative(path)).string() +
                             ": no such file (listed in Setup.ini)");
        }
        const std::optional<fs::path> unpacked = UnpackedFile(options_.source, path);
        if (!unpacked) {
            throw BuildError((options_.source / HostRelative(path)).string() +
                             ": no such archive, nor a file to pack into it (" +
                             Utf8Of(FileNameOf(path)) + " with a letter for its \"_\")");
        }
        // The installer writes the entry's name: the unpacked file's own.
        jobs_.push_back({*unpacked, target, Cp1252Of(unpacked->filename()).value_or("")});
    }

    // The logo and the info text: beside the script, warned about when missing.
    void AddExtra(const std::string& path) {
        if (!Reserve(path)) {
            firstDisk_.push_back(path);  // a listed file: placed already
            return;
        }
        if (const std::optional<fs::path> file = FindNoCase(options_.source, path)) {
            jobs_.push_back({*file, medium_ / HostRelative(path), {}});
            firstDisk_.push_back(path);
        } else {
            log_ << "medium: warning: " << (options_.source / HostRelative(path)).string()
                 << ": no such file; the medium is without it\n";
        }
    }

    // Setup.exe or the uninstaller: from the option, the build or the source.
    void AddProgram(const std::string& path, const std::optional<fs::path>& given,
                    const std::string& built) {
        std::optional<fs::path> file;
        if (given) {
            file = FirstFile({*given});
            if (!file) {
                throw BuildError(given->string() + ": no such file");
            }
        } else {
            std::vector<fs::path> candidates;
            for (const fs::path& folder : options_.programFolders) {
                candidates.push_back(folder / built);
            }
            file = FirstFile(candidates);
            file = file ? file : FindNoCase(options_.source, path);
            if (file) {
                log_ << "medium: " << built << " from " << file->string() << "\n";
            }
        }
        const bool uninstaller = built == "Uninstall.exe";
        if (uninstaller) {
            uninstaller_ = path;
        }
        if (!Reserve(path)) {
            return;  // listed as a file of the script too: placed as such
        }
        if (!uninstaller) {
            firstDisk_.push_back(path);
        }
        if (!file) {
            log_ << "medium: warning: no " << built << " found (give it with "
                 << (uninstaller ? "--uninstaller" : "--setup") << "); the medium is without it\n";
            if (uninstaller) {
                uninstaller_.clear();
            } else {
                firstDisk_.pop_back();
            }
            return;
        }
        // A name ending in "_" or ".zip" is an archive holding the program.
        const bool archive =
            (path.ends_with('_') || AsciiLower(ExtensionOf(path)) == ".zip") &&
            !(file->filename().string().ends_with('_') || file->extension() == ".zip");
        jobs_.push_back({*file, medium_ / HostRelative(path),
                         archive ? Cp1252Of(file->filename()).value_or(built) : std::string()});
    }

    // Every archive must read with the installer's extractor, those taken from
    // the source as they are and, as a check of the packing, those made here;
    // the entry names are what the installer lists and writes.
    void CheckArchives() {
        options_.asWindows(medium_, [&](const std::string& folder) {
            for (const Diagnostic& found : CheckMedium(folder)) {
                if (IsArchiveRule(found.rule)) {
                    throw BuildError("Setup.ini:" + std::to_string(found.line) + ": " +
                                     Utf8Of(found.text));
                }
            }
        });
    }

    std::size_t SpreadOverDiskettes(const fs::path& root, const ScriptFiles& files);
    void WriteZip(const fs::path& root);

    const BuildOptions& options_;
    std::ostream& log_;
    fs::path medium_;
    std::set<std::string> placed_;        // upper-case paths
    std::vector<std::string> listed_;     // listed files, first mention, in order
    std::vector<std::string> firstDisk_;  // besides the script
    std::vector<std::string> taken_;      // archives of the source, taken as they are
    std::string uninstaller_;
    std::vector<PackJob> jobs_;
    fs::path zipStaging_;
};

}  // namespace

namespace {

std::uint64_t SizeOnMedium(const fs::path& medium, std::string_view path) {
    std::error_code error;
    const auto size = fs::file_size(medium / HostRelative(path), error);
    return error ? 0 : size;
}

}  // namespace

// Moves the files of the staged medium into "Diskette 1" .. "Diskette N" and
// writes Diskettes.txt; the number of diskettes.
std::size_t Builder::SpreadOverDiskettes(const fs::path& root, const ScriptFiles& files) {
    std::vector<MediumFile> first{{"Setup.ini", SizeOnMedium(medium_, "Setup.ini")}};
    for (const std::string& path : firstDisk_) {
        first.push_back({path, SizeOnMedium(medium_, path)});
    }
    std::vector<MediumFile> listed;
    for (const std::string& key : files.keys) {
        const std::string path = KeyFileName(key);
        listed.push_back({path, SizeOnMedium(medium_, path)});
    }
    const MediumFile uninstaller{uninstaller_,
                                 uninstaller_.empty() ? 0 : SizeOnMedium(medium_, uninstaller_)};
    auto layout = LayOutDiskettes(first, listed, uninstaller, *options_.disketteSize);
    if (const std::string* error = std::get_if<std::string>(&layout)) {
        throw BuildError(Utf8Of(*error));
    }
    const auto& disks = std::get<DisketteLayout>(layout).disks;
    std::string list;
    for (std::size_t disk = 0; disk < disks.size(); ++disk) {
        const std::string folder = "Diskette " + std::to_string(disk + 1);
        list += folder + "\r\n";
        for (const std::string& path : disks[disk]) {
            std::error_code error;
            const fs::path target = root / folder / HostRelative(path);
            fs::create_directories(target.parent_path(), error);
            fs::copy_file(medium_ / HostRelative(path), target, error);
            if (!error) {
                fs::last_write_time(target, fs::last_write_time(medium_ / HostRelative(path)),
                                    error);
            }
            if (error) {
                throw BuildError(target.string() + ": can't be written (" + error.message() + ")");
            }
            list += "  " + Utf8Of(path) + "\r\n";
        }
    }
    std::error_code error;
    fs::remove_all(medium_, error);
    WriteWhole(root / "Diskettes.txt", list, fs::file_time_type::clock::now());
    return disks.size();
}

// The finished medium as one archive, beside the ZIP file to be, renamed at the end.
void Builder::WriteZip(const fs::path& root) {
    const fs::path zip = *options_.zip;
    zipStaging_ = zip.string() + ".building";
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::ofstream out(zipStaging_, std::ios::binary | std::ios::trunc);
    Deflater deflater;
    ZipWriter writer(out, deflater);
    for (const fs::path& file : files) {
        const std::optional<std::string> name = Cp1252Of(fs::relative(file, root));
        writer.Add(name.value_or(fs::relative(file, root).string()),
                   DosDateTime(fs::last_write_time(file)), ReadWhole(file));
    }
    if (!writer.Finish()) {
        std::error_code ignored;
        fs::remove(zipStaging_, ignored);
        throw BuildError(zip.string() + ": can't be written");
    }
}

int BuildMedium(const BuildOptions& options, std::ostream& log) {
    try {
        Builder(options, log).Run();
        return 0;
    } catch (const BuildError& error) {
        log << "medium: " << error.what() << "\n";
    } catch (const std::exception& error) {
        log << "medium: " << error.what() << "\n";
    }
    return 2;
}

}  // namespace setup::medium
