// The uninstall log as the uninstaller reads it (ParseUninstallLog), over
// arbitrary bytes. A log it accepts names only what it may remove: absolute
// local paths of the right kind (the log check's own predicates), shortcuts
// ending in ".lnk", single registry key names, nothing on a drive the drive
// check refuses (here N:). And what the uninstaller writes back of an accepted
// log when something stays reads back as the same log.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/AsciiText.h"
#include "system/PathHelpers.h"
#include "uninstall/LogPaths.h"
#include "uninstall/UninstallLog.h"

namespace {

using namespace setup;
using namespace setup::uninstall;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool NotOnN(char letter) {
    return AsciiUpperChar(letter) != 'N';
}

void CheckPath(const LoggedPath& entry, PathKind kind) {
    Check(IsSafeLocalPath(entry.path, kind));
    Check(NotOnN(entry.path[0]));
}

bool Same(const LoggedPath& a, const LoggedPath& b) {
    return a.path == b.path && a.existedBefore == b.existedBefore;
}

template <typename List>
bool SameList(const List& a, const List& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!Same(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

bool SameAssociation(const LoggedAssociation& a, const LoggedAssociation& b) {
    return a.extension == b.extension && a.previousType == b.previousType &&
           a.previousDescription == b.previousDescription &&
           a.previousCommand == b.previousCommand && a.extensionWasNew == b.extensionWasNew &&
           a.previousTypeExisted == b.previousTypeExisted && a.newType == b.newType &&
           a.newTypeExisted == b.newTypeExisted && a.newTypeDescription == b.newTypeDescription &&
           a.newTypeCommand == b.newTypeCommand;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LogReadResult read = ParseUninstallLog(bytes, NotOnN);
    Check(read.log.has_value() == (read.problem == LogProblem::None));
    Check(read.entry.empty() == (read.problem != LogProblem::InvalidEntry));
    if (!read.log) {
        return 0;
    }
    const UninstallLog& log = *read.log;
    Check(!log.programName.empty() && log.installFolder.has_value());
    CheckPath(*log.installFolder, PathKind::Folder);
    if (log.groupFolder) {
        CheckPath(*log.groupFolder, PathKind::Folder);
    }
    for (const LoggedPath& file : log.files) {
        CheckPath(file, PathKind::File);
    }
    for (const LoggedPath& shortcut : log.shortcuts) {
        CheckPath(shortcut, PathKind::File);
        Check(EqualsNoCase(ExtensionOf(shortcut.path), ".lnk"));
    }
    Check(log.softwareKey.empty() || IsSafeKeyName(log.softwareKey));
    if (const auto& a = log.association) {
        Check(IsSafeKeyName(a->extension) && IsSafeKeyName(a->newType));
        Check(a->previousType.empty() || IsSafeKeyName(a->previousType));
    }

    const LogReadResult again = ParseUninstallLog(UninstallLogText(log), NotOnN);
    Check(again.log.has_value());
    const UninstallLog& back = *again.log;
    Check(back.programName == log.programName && back.softwareKey == log.softwareKey);
    Check(Same(*back.installFolder, *log.installFolder));
    Check(back.groupFolder.has_value() == log.groupFolder.has_value());
    Check(!log.groupFolder || Same(*back.groupFolder, *log.groupFolder));
    Check(SameList(back.files, log.files) && SameList(back.shortcuts, log.shortcuts));
    Check(back.association.has_value() == log.association.has_value());
    Check(!log.association || SameAssociation(*back.association, *log.association));
    return 0;
}
