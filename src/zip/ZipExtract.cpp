// Extracting one entry: the local header, the decoder of its method, the CRC.
// LocalHeader reads the header and checks the data descriptor; OutputTarget is the
// file the data goes into. An entry whose sizes are both 0 is an empty file,
// whatever its method.
//
// The busy flag guards against re-entry through the message pump: a nested call
// fails with -8, unless the flag is stale (more than 30 s since the last pump),
// which happens when an extraction was abandoned by an exception.
#include "zip/ZipExtract.h"

#include <optional>
#include <string>

#include "platform/TemporaryBeside.h"
#include "zip/Decoders.h"
#include "zip/OutputTarget.h"
#include "zip/ZipState.h"

namespace setup::zip {
namespace {

constexpr std::int64_t kStaleBusyMilliseconds = 30000;

// Holds the busy flag for the duration of one extraction.
class BusyGuard {
  public:
    explicit BusyGuard(ZipSharedState& shared) : shared_(shared) { shared_.Busy = true; }
    ~BusyGuard() { shared_.Busy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    ZipSharedState& shared_;
};

std::int32_t RunDecoder(ExtractState& state, std::uint16_t method) {
    switch (method) {
        case 0:
            return CopyStoredEntry(state);
        case 1:
            return UnshrinkEntry(state);
        case 6:
            return ExplodeEntry(state);
        default:
            return InflateEntry(state);
    }
}

// A folder entry: creates the folders of `path` (which ends with "\\"); 0 or -2.
std::int32_t ExtractFolder(platform::FileSystem& files, std::string path) {
    ZipCreateFolders(path);
    path.pop_back();
    return platform::IsFolder(files, path) || path.empty() || path.back() == ':'
               ? ZipOk
               : Fail(ZipErrWrite);
}

// The archive an extraction reads: the handle a run already holds open (its
// directory cursor's), or one opened by the path for a single entry and closed
// again as soon as the data is read.
struct ArchiveSource {
    std::string_view Path;
    platform::File* Open = nullptr;
};

// Where an extraction writes. Without a target path the data is only checked.
struct TargetSpec {
    std::optional<std::string_view> Path;
    platform::File* Created = nullptr;  // the target, created by the caller
};

// Runs the entry's decoder over `archive` into `output` (none: check only):
// 0 or the decoder's code, with the computed and the expected CRC.
std::int32_t Decode(platform::File& archive, platform::File* output, const LocalHeader& header,
                    const ZipProgressWindow* progressWindow, std::int32_t progressId,
                    std::uint32_t& crc, std::uint32_t& expectedCrc) {
    platform::Os& os = platform::CurrentOs();
    ZipSharedState& shared = ZipShared();
    ExtractState state;
    state.Archive = &archive;
    state.Target = output;
    state.Thread = &os.Thread();
    state.Clock = &os.System();
    state.LastPumpTime = &shared.LastPumpTime;
    state.Report = shared.ReportInForce;
    state.Record = &shared.Report;
    state.ProgressWindow = progressWindow;
    state.ProgressId = progressId;
    state.BeginEntry(header.CompressedSize, header.Size, header.Flags);
    state.PumpMessages();

    // An empty entry is an empty file, also where the method would want some data.
    const bool empty = header.SizesKnown && header.CompressedSize == 0 && header.Size == 0;
    std::int32_t result = empty ? ZipOk : RunDecoder(state, header.Method);
    crc = ~state.RunningCrc;
    expectedCrc = header.Crc;
    if (result == 0 && header.HasDescriptor) {
        if (header.SizesKnown) {
            result = CheckDescriptor(archive, header);
        } else {
            expectedCrc = ReadDescriptorCrc(state, crc);
        }
    }
    if (result == 0) {
        state.LastPercent = 100;
    }
    return result;
}

// Extraction with the busy flag held: open the archive and read the local header,
// open the target, decode, then keep the target only when everything matched.
std::int32_t ExtractHeld(ArchiveSource source, TargetSpec target, std::uint32_t headerOffset,
                         const ZipProgressWindow* progressWindow, std::int32_t progressId,
                         const ZipCentralValues* central) {
    platform::FileSystem& files = platform::CurrentOs().Files();
    std::unique_ptr<platform::File> ownArchive;
    platform::File* archive = source.Open;
    if (archive == nullptr) {
        ownArchive = files.Open(source.Path, platform::OpenMode::Read);
        if (ownArchive == nullptr) {
            return Fail(ZipErrOpenArchive);
        }
        archive = ownArchive.get();
    }
    LocalHeader header;
    if (const std::int32_t result = ReadLocalHeader(*archive, headerOffset, central, header);
        result != 0) {
        return result;
    }

    OutputTarget output(files);
    if (target.Path.has_value()) {
        std::string targetPath(*target.Path);
        SlashesToBackslashes(targetPath);
        if (targetPath.size() > kMaxPathLength) {
            return Fail(ZipErrWrite);
        }
        if (!targetPath.empty() && targetPath.back() == '\\') {
            return ExtractFolder(files, std::move(targetPath));
        }
        if (const std::int32_t result = output.Open(std::move(targetPath), target.Created);
            result != 0) {
            return result;
        }
    }

    std::uint32_t crc = 0;
    std::uint32_t expectedCrc = 0;
    std::int32_t result =
        Decode(*archive, output.File(), header, progressWindow, progressId, crc, expectedCrc);
    ownArchive.reset();  // closes it; a run's handle stays open
    if (output.File() != nullptr && !output.Close(header.Time) && result == 0) {
        result = Fail(ZipErrWrite);  // the data did not reach the disk
    }
    if (result == 0 && crc != expectedCrc) {
        result = Fail(ZipErrCrc);
    }
    if (result != 0) {
        return result;
    }
    if (progressWindow != nullptr && *progressWindow) {
        std::uint16_t percent = 100;
        (*progressWindow)(progressId, percent);
    }
    return target.Path.has_value() ? output.Commit() : ZipOk;
}

std::int32_t ExtractGuarded(ArchiveSource source, TargetSpec target, std::int32_t headerOffset,
                            const ZipProgressWindow* progressWindow, std::int32_t progressId,
                            const ZipCentralValues* central) {
    ZipSharedState& shared = ZipShared();
    if (shared.Busy) {
        const std::int64_t now = platform::CurrentOs().System().TickCount();
        const std::int64_t last = shared.LastPumpTime;
        const std::int64_t since = now > last ? now - last : last - now;
        if (last == 0 || since <= kStaleBusyMilliseconds) {
            return Fail(ZipErrBusy);
        }
        shared.Busy = false;  // left over from an abandoned extraction
    }
    BusyGuard guard(shared);
    // No exception leaves the extractor: whatever fails inside (memory, a handler)
    // ends the entry as a serious read error, and the target is gone again.
    try {
        return ExtractHeld(source, target, static_cast<std::uint32_t>(headerOffset), progressWindow,
                           progressId, central);
    } catch (...) {
        return Fail(ZipErrRead);
    }
}

}  // namespace

std::int32_t ZipExtractEntry(std::string_view archivePath, std::string_view targetPath,
                             std::int32_t headerOffset, const ZipProgressWindow* progressWindow,
                             std::int32_t progressId, platform::File* openArchive,
                             platform::File* createdTarget, const ZipCentralValues* central) {
    return ExtractGuarded({archivePath, openArchive}, {targetPath, createdTarget}, headerOffset,
                          progressWindow, progressId, central);
}

std::unique_ptr<platform::File> ZipCreateNewTarget(std::string_view targetPath) {
    std::string path(targetPath);
    SlashesToBackslashes(path);
    if (path.empty() || path.size() > kMaxPathLength || path.back() == '\\') {
        return nullptr;
    }
    return platform::CurrentOs().Files().Open(path, platform::OpenMode::CreateNew);
}

std::int32_t ZipTestEntry(std::string_view archivePath, std::int32_t headerOffset,
                          std::int32_t progressId, platform::File* openArchive,
                          const ZipCentralValues* central) {
    return ExtractGuarded({archivePath, openArchive}, {}, headerOffset, nullptr, progressId,
                          central);
}

}  // namespace setup::zip
