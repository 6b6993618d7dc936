// Installing one file: a plain copy from the medium, or the entry of a ZIP
// archive. Both show source and target on the copy page, ask before an existing
// target is replaced and leave every file alone in test mode.
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "install/FileResult.h"
#include "install/ReplaceByCopy.h"
#include "platform/Os.h"
#include "system/PathHelpers.h"
#include "zip/Zip.h"

namespace setup::app {
namespace {

// Test mode spends this long on each file instead of touching it.
constexpr std::uint32_t kTestModeFileMilliseconds = 1000;

}  // namespace

std::string_view TMainForm::RefusedTargetText(std::string_view target) const {
    if (!state_.UninstallerPresent) {
        return {};
    }
    if (EqualsNoCase(target, state_.UninstallIniPath)) {
        return " wurde nicht kopiert, weil sie das Deinstallationsprotokoll ersetzen w\xFCrde!";
    }
    return EqualsNoCase(target, state_.UninstallExePath)
               ? " wurde nicht kopiert, weil sie das Deinstallationsprogramm ersetzen w\xFCrde!"
               : "";
}

// Shows the file on the copy page, records its target and decides whether it is
// written: a new target always, an existing one after "&Ja" or "&Alles". The
// target becomes the path as Windows names it, the one the log records; a name
// that makes it no local path fails the file before anything is written.
int TMainForm::ShowTargetAndAsk(std::string_view source, std::string& target,
                                std::string_view newName, std::uint32_t newDate, int& answer) {
    const std::optional<std::string> canonical = CanonicalLocalPath(target);
    if (canonical) {
        target = *canonical;
    }
    model_.SetCaption(kLblQuellDatei, source);
    model_.SetCaption(kLblZielDatei, target);
    // The uninstall log and the uninstaller beside it are the installer's own: a
    // file of the list never replaces them.
    if (!canonical || !RefusedTargetText(target).empty()) {
        return install::ResultCopyFailed;
    }
    installedTargets_.push_back(AsciiUpper(target));
    ProcessMessages();
    const bool existed = IsExistingFile(target);
    if (answer != answer::kAll) {
        answer = existed ? AskOverwrite(target, newName, newDate) : answer::kYes;
    }
    if (answer != answer::kYes && answer != answer::kAll) {
        return install::ResultDeclined;
    }
    return existed ? install::ResultReplaced : install::ResultNew;
}

int TMainForm::CopyOneFile(std::string_view source, std::int32_t sourceDate,
                           std::string_view folder, int& answer) {
    if (sourceDate == -1) {
        return install::ResultSourceMissing;
    }
    std::string target = std::string(folder) + FileNameOf(source);
    const int decided =
        ShowTargetAndAsk(source, target, source, static_cast<std::uint32_t>(sourceDate), answer);
    if (decided != install::ResultNew && decided != install::ResultReplaced) {
        return decided;
    }
    if (state_.TestMode) {
        platform::CurrentOs().System().Sleep(kTestModeFileMilliseconds);
    } else if (!install::ReplaceByCopy(source, target)) {
        return install::ResultCopyFailed;
    }
    return decided;
}

int TMainForm::ExtractOneFile(std::string_view archive, std::int32_t sourceDate,
                              std::string_view folder, int& answer) {
    if (sourceDate == -1) {
        return install::ResultSourceMissing;
    }
    // An archive installs one file: the last entry of its directory.
    const auto remember = [this](std::int32_t, const zip::ZipReport& report) {
        if (report.Status != zip::ZipStatusArchiveEnd) {
            state_.ZipEntryName = report.Name;
            state_.ZipEntryTime = static_cast<std::uint32_t>(report.Time);
        }
    };
    // The listing looks at the signature itself; only a file without one gets the
    // message (a listing shows nothing, so it comes before anything the user sees).
    const std::int32_t listed = zip::ZipListEntries(archive, "*.*", remember);
    if (listed == zip::ZipErrNotArchive) {
        MessageDlg(std::string(archive) + " ist keine ZipFile!", DialogKind::Plain, kButtonOk);
    }
    if (listed <= 0) {
        return install::ResultArchiveUnreadable;
    }
    const std::string entry = state_.ZipEntryName;
    std::string target = std::string(folder) + entry;
    const int decided = ShowTargetAndAsk(archive, target, entry, state_.ZipEntryTime, answer);
    if (decided != install::ResultNew && decided != install::ResultReplaced) {
        return decided;
    }
    if (state_.TestMode) {
        platform::CurrentOs().System().Sleep(kTestModeFileMilliseconds);
    } else if (zip::ZipExtractFiles(archive, folder, entry) <= 0) {
        return install::ResultCopyFailed;
    }
    return decided;
}

// One file of the copy phase, by extraction or copy, reported to the host.
int TMainForm::InstallOneFile(bool archive, std::string_view source, std::int32_t sourceDate,
                              std::string_view folder, int& answer) {
    const int result = archive ? ExtractOneFile(source, sourceDate, folder, answer)
                               : CopyOneFile(source, sourceDate, folder, answer);
    const bool targetShown =
        result != install::ResultSourceMissing && result != install::ResultArchiveUnreadable;
    host_.FileHandled(source, targetShown ? Caption(kLblZielDatei) : std::string(), result);
    return result;
}

}  // namespace setup::app
