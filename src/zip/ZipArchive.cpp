// Extraction runs and listings over the central directory.
#include <optional>
#include <utility>

#include "platform/TemporaryBeside.h"
#include "zip/EntryName.h"
#include "zip/Zip.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipExtract.h"
#include "zip/ZipPattern.h"
#include "zip/ZipState.h"

namespace setup::zip {
namespace {

// Sums kept as the record's 32-bit fields: wrapping, never overflowing.
struct Totals {
    std::uint32_t size = 0;
    std::uint32_t compressed = 0;
    void Add(std::int32_t entrySize, std::int32_t entryCompressed) {
        size += static_cast<std::uint32_t>(entrySize);
        compressed += static_cast<std::uint32_t>(entryCompressed);
    }
};

void FillFromEntry(ZipReport& record, const ZipDirectoryCursor& cursor) {
    record.Time = cursor.Time;
    record.Size = cursor.Size;
    record.CompressedSize = cursor.CompressedSize;
    record.Method = cursor.Method;
    record.Attributes = cursor.Attributes;
    record.Ratio =
        static_cast<std::uint8_t>(CompressionPercent(cursor.CompressedSize, cursor.Size));
}

void FillEndOfRun(ZipReport& record, std::string_view archivePath, const Totals& totals) {
    record.Time = -1;
    record.Attributes = -1;
    record.Method = 0;
    record.Size = static_cast<std::int32_t>(totals.size);
    record.CompressedSize = static_cast<std::int32_t>(totals.compressed);
    record.Name = archivePath;
    record.Ratio =
        static_cast<std::uint8_t>(CompressionPercent(record.CompressedSize, record.Size));
    record.Status = ZipStatusArchiveEnd;
}

bool IsReportable(std::int32_t code) {
    return code == ZipErrCrc || code == ZipErrWrite || code == ZipErrMethod ||
           code == ZipErrEncrypted;
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// No exception leaves the extractor's public operations: what fails unexpectedly
// inside (memory, a handler) ends the operation with `code`, as an unusable
// directory does. The entries themselves catch their own (ZipExtractEntry).
template <typename Operation>
auto Guarded(decltype(std::declval<Operation>()()) onException, Operation&& operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return onException;
    }
}

// A run that ended by an exception unregisters its handlers as any run does.
std::int32_t AbandonRun() {
    ZipSharedState& shared = ZipShared();
    shared.ReportInForce = nullptr;
    shared.RegisteredReport = nullptr;
    shared.RegisteredQuestion = nullptr;
    return Fail(ZipErrDirectory);
}

std::unique_ptr<platform::File> OpenIfArchive(std::string_view path);
std::int32_t ListEntries(std::string_view archivePath, std::string_view pattern,
                         const ZipReportHandler& handler);
std::int32_t ArchiveSizes(std::string_view archivePath, std::int32_t& compressedSize);

enum class RunMode { Extract, Test };

// Opens the directory for a listing or a run, clearing the record: 0, -12 or -9.
std::int32_t OpenForRun(std::string_view archivePath, ZipDirectoryCursor& cursor) {
    std::unique_ptr<platform::File> archive = OpenIfArchive(archivePath);
    if (archive == nullptr) {
        return Fail(ZipErrNotArchive);
    }
    ZipShared().Report = ZipReport{};
    return ZipOpenDirectory(std::move(archive), cursor) == ZipOk ? ZipOk : Fail(ZipErrDirectory);
}

// The one walk over the entries that match `pattern`, from the cursor's current
// entry on: each is added to `totals` and handed to `visit`, which returns false
// to end the walk.
template <typename Visit>
void ForEachMatch(ZipDirectoryCursor& cursor, std::string_view pattern, Totals& totals,
                  Visit&& visit) {
    do {
        if (ZipMatchPattern(pattern, cursor.Name)) {
            totals.Add(cursor.Size, cursor.CompressedSize);
            if (!visit()) {
                return;
            }
        }
    } while (ZipNextEntry(cursor) == ZipOk);
}

ZipCentralValues CentralValues(const ZipDirectoryCursor& cursor) {
    return {cursor.CompressedSize, cursor.Size, cursor.Crc};
}

// Extracts the cursor's entry to `target` (a folder entry when it ends with "\\"),
// asking `question` first about an existing file: the result, or nothing when the
// entry is skipped on the answer.
std::optional<std::int32_t> ExtractToTarget(const ZipDirectoryCursor& cursor,
                                            std::string_view archivePath, const std::string& target,
                                            const ZipReport& record,
                                            const ZipQuestionHandler& question) {
    platform::FileSystem& files = platform::CurrentOs().Files();
    const std::string targetFile = WithoutTrailingBackslash(target);
    // A target that can be created was not there: nothing to ask about or to
    // keep. Otherwise look at what is there.
    const std::unique_ptr<platform::File> created =
        record.IsFolder ? nullptr : ZipCreateNewTarget(target);
    const std::uint32_t oldAttributes =
        created ? platform::attr::kInvalid : files.GetAttributes(targetFile);
    const bool exists = oldAttributes != platform::attr::kInvalid;
    const bool isFile = exists && (oldAttributes & platform::attr::kDirectory) == 0;
    if (question && isFile && !question(record)) {
        return std::nullopt;
    }
    // Attributes cleared, so that a read-only file can be replaced; put back when
    // the target stays as it was.
    if (exists) {
        files.SetAttributes(targetFile, 0);
    }
    // A new file takes its attributes on the open handle where the system allows,
    // which spares looking its name up again; read-only waits for the CRC check,
    // so that a failed file can still be deleted.
    const bool attributesSet = created && (cursor.Attributes & platform::attr::kReadOnly) == 0 &&
                               created->SetAttributes(cursor.Attributes);
    const ZipCentralValues central = CentralValues(cursor);
    const std::int32_t result =
        ZipExtractEntry(archivePath, target, cursor.HeaderOffset, nullptr, kEscapeKey,
                        cursor.Archive.get(), created.get(), &central);
    if (result == ZipOk) {
        if (!attributesSet) {
            files.SetAttributes(targetFile, cursor.Attributes);
        }
    } else if (created) {
        created->Close();
        files.DeleteFile(targetFile);
    } else if (exists) {
        files.SetAttributes(targetFile, oldAttributes);
    }
    return result;
}

// One extraction run (Test: decode and check only). `folder` ends with "\\" or is
// empty (Test).
std::int32_t Run(RunMode mode, std::string_view archivePath, const std::string& folder,
                 std::string_view pattern, const ZipReportHandler& report,
                 const ZipQuestionHandler& question) {
    ZipSharedState& shared = ZipShared();
    ZipDirectoryCursor cursor;
    if (const std::int32_t opened = OpenForRun(archivePath, cursor); opened != ZipOk) {
        return opened;
    }
    ZipReport& record = shared.Report;
    auto send = [&report, &record](std::int32_t code) {
        if (report) {
            report(code, record);
        }
    };
    if (report) {
        record.IsFolder = false;
        record.Name = archivePath;
        record.Size = ZipArchiveSizes(archivePath, record.CompressedSize);
        record.Ratio =
            static_cast<std::uint8_t>(CompressionPercent(record.CompressedSize, record.Size));
        record.Status = ZipStatusArchiveStart;
        send(ZipStatusArchiveStart);
        shared.ReportInForce = &report;
    }

    std::int32_t count = 0;
    std::int32_t fatal = ZipOk;
    Totals totals;
    ForEachMatch(cursor, pattern, totals, [&] {
        const std::string target = folder + cursor.Name;
        FillFromEntry(record, cursor);
        record.IsFolder = !target.empty() && (target.back() == '\\' || target.back() == '/');
        record.Name = mode == RunMode::Extract ? target : cursor.Name;
        record.Status = ZipStatusStart;
        send(ZipStatusStart);

        std::optional<std::int32_t> result = ZipOk;
        if (!cursor.NameUsable || !IsSafeEntryName(cursor.Name)) {
            result = Fail(ZipErrFormat);
        } else if (mode == RunMode::Extract) {
            result = ExtractToTarget(cursor, archivePath, target, record, question);
        } else if (!record.IsFolder) {
            const ZipCentralValues central = CentralValues(cursor);
            result = ZipTestEntry(archivePath, cursor.HeaderOffset, kEscapeKey,
                                  cursor.Archive.get(), &central);
        }
        if (!result.has_value()) {  // skipped on the question handler's answer
            record.Status = ZipStatusProgress;
            record.Method = kMethodSkipped;
            send(cursor.Size);
        }
        if (result.value_or(ZipOk) == ZipOk) {
            ++count;
            record.Status = ZipStatusDone;
            send(ZipStatusDone);
            return true;
        }
        record.Status = ZipStatusFailed;
        if (IsReportable(*result)) {
            send(*result);
        } else if (*result < 0) {
            record.Status = *result;
            send(ZipReportFatal);
            fatal = *result;
        }  // a decoder's positive code: the run ends without a report
        return false;
    });

    ZipCloseDirectory(cursor);
    shared.ReportInForce = nullptr;
    shared.RegisteredReport = nullptr;
    shared.RegisteredQuestion = nullptr;
    if (fatal != ZipOk) {
        return fatal;
    }
    FillEndOfRun(record, archivePath, totals);
    send(count);
    return count;
}

// The archive opened for reading when it is one by name and signature; nothing
// otherwise. The directory is read through the same handle, so that one look at
// an archive opens it once.
std::unique_ptr<platform::File> OpenIfArchive(std::string_view path) {
    if (path.find('_') == std::string_view::npos) {
        return nullptr;
    }
    std::string file(path);
    SlashesToBackslashes(file);
    file = WithoutTrailingBackslash(std::move(file));
    platform::FileSystem& files = platform::CurrentOs().Files();
    if (platform::IsFolder(files, file)) {
        return nullptr;
    }
    auto archive = files.Open(file, platform::OpenMode::Read);
    std::uint8_t signature[4];
    if (archive == nullptr || archive->Read(signature) != 4 ||
        LoadLe32(signature) != kLocalSignature) {
        return nullptr;
    }
    return archive;
}

std::int32_t ListEntries(std::string_view archivePath, std::string_view pattern,
                         const ZipReportHandler& handler) {
    if (archivePath.empty() || !handler) {
        return Fail(ZipErrArgument);
    }
    ZipDirectoryCursor cursor;
    if (const std::int32_t opened = OpenForRun(archivePath, cursor); opened != ZipOk) {
        return opened;
    }
    ZipReport& record = ZipShared().Report;
    std::int32_t count = 0;
    Totals totals;
    ForEachMatch(cursor, pattern, totals, [&] {
        FillFromEntry(record, cursor);
        record.Name = cursor.Name;
        record.Status = ZipStatusProgress;
        ++count;
        handler(0, record);
        return true;
    });
    ZipCloseDirectory(cursor);
    FillEndOfRun(record, archivePath, totals);
    handler(count, record);
    return count;
}

std::int32_t ArchiveSizes(std::string_view archivePath, std::int32_t& compressedSize) {
    if (archivePath.empty()) {
        return 0;
    }
    std::unique_ptr<platform::File> archive = OpenIfArchive(archivePath);
    if (archive == nullptr) {
        auto file = platform::CurrentOs().Files().Open(archivePath, platform::OpenMode::Read);
        if (file == nullptr) {
            return 0;
        }
        compressedSize = static_cast<std::int32_t>(file->Size());
        return compressedSize;
    }
    const auto fileSize = static_cast<std::int32_t>(archive->Size());
    compressedSize = 0;
    ZipDirectoryCursor cursor;
    if (ZipOpenDirectory(std::move(archive), cursor) != ZipOk) {
        return fileSize;
    }
    Totals totals;
    ForEachMatch(cursor, "", totals, [] { return true; });
    compressedSize = static_cast<std::int32_t>(totals.compressed);
    return static_cast<std::int32_t>(totals.size);
}

}  // namespace

bool ZipIsArchive(std::string_view path) {
    return Guarded(false, [path] { return OpenIfArchive(path) != nullptr; });
}

std::int32_t ZipListEntries(std::string_view archivePath, std::string_view pattern,
                            const ZipReportHandler& handler) {
    return Guarded(ZipErrDirectory, [&] { return ListEntries(archivePath, pattern, handler); });
}

std::int32_t ZipExtractFiles(std::string_view archivePath, std::string_view targetFolder,
                             std::string_view pattern) {
    return Guarded(ZipErrDirectory, [&] {
        // Copies: the run unregisters the handlers while it still uses them.
        const ZipReportHandler report = ZipShared().RegisteredReport;
        const ZipQuestionHandler question = ZipShared().RegisteredQuestion;
        return ZipExtractWithHandlers(archivePath, targetFolder, pattern, report, question);
    });
}

std::int32_t ZipExtractWithHandlers(std::string_view archivePath, std::string_view targetFolder,
                                    std::string_view pattern, const ZipReportHandler& report,
                                    const ZipQuestionHandler& question) {
    try {
        if (archivePath.empty() || targetFolder.empty()) {
            return Fail(ZipErrArgument);
        }
        std::string folder(targetFolder);
        SlashesToBackslashes(folder);
        if (folder.back() != '\\') {
            folder += '\\';
        }
        return Run(RunMode::Extract, archivePath, folder, pattern, report, question);
    } catch (...) {
        return AbandonRun();
    }
}

std::int32_t ZipTestArchive(std::string_view archivePath, std::string_view pattern,
                            const ZipReportHandler& report) {
    try {
        if (archivePath.empty()) {
            return Fail(ZipErrArgument);
        }
        return Run(RunMode::Test, archivePath, std::string(), pattern, report, nullptr);
    } catch (...) {
        return AbandonRun();
    }
}

std::int32_t ZipArchiveSizes(std::string_view archivePath, std::int32_t& compressedSize) {
    compressedSize = 0;
    return Guarded(0, [&] { return ArchiveSizes(archivePath, compressedSize); });
}

ZipReportHandler ZipSetReportHandler(ZipReportHandler handler) {
    return std::exchange(ZipShared().RegisteredReport, std::move(handler));
}

ZipQuestionHandler ZipSetQuestionHandler(ZipQuestionHandler handler) {
    return std::exchange(ZipShared().RegisteredQuestion, std::move(handler));
}

}  // namespace setup::zip
