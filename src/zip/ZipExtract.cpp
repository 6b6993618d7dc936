// Extracting one entry: the local header, the decoder of its method, the CRC.
//
// The local header (30 bytes and the entry's name and extra field) precedes the
// data; its flags, method, time, CRC and sizes are the ones used here. With flag bit
// 3 the sizes and the CRC follow the data in a data descriptor, so the sizes are
// unknown (0x7FFFFFFF) and the CRC is read after decoding, from the bit reader:
// at the next byte boundary, 32 bits. Most writers put the optional descriptor
// signature 50 4B 07 08 in front of it; when those four bytes are the signature
// and differ from the computed CRC, the CRC is the four bytes after them. Only a
// method with an end marker (deflate) can find the end of such data.
//
// A target that does not exist yet is created and written directly; any failure
// deletes it again. For an existing target the data goes into a temporary file
// beside it, which is moved over the target only after the CRC matched: a decoder
// failure, a CRC mismatch, an abort or a failed move removes the temporary file
// and leaves the target as it was. The written file gets the entry's time before
// any move.
//
// The busy flag guards against re-entry through the message pump: a nested call
// fails with -8, unless the flag is stale (more than 30 s since the last pump),
// which happens when an extraction was abandoned by an exception.
#include "zip/ZipExtract.h"

#include <optional>
#include <string>

#include "zip/Decoders.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipState.h"

namespace setup::zip {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kDescriptorSignature = 0x08074B50;
constexpr std::size_t kLocalHeaderSize = 30;
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

struct LocalHeader {
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t Time = 0;
    std::uint32_t Crc = 0;
    std::int32_t CompressedSize = 0;
    std::int32_t Size = 0;
    std::uint64_t DataOffset = 0;
};

// Reads and checks the local header; leaves the archive at the entry's data.
std::int32_t ReadLocalHeader(platform::File& archive, std::uint32_t offset, LocalHeader& header) {
    std::uint8_t bytes[kLocalHeaderSize];
    if (!archive.Seek(offset)) {
        return Fail(ZipErrRead);
    }
    if (archive.Read(bytes) != static_cast<std::int64_t>(kLocalHeaderSize) ||
        LoadLe32(bytes) != kLocalSignature) {
        return Fail(ZipErrFormat);
    }
    header.Flags = LoadLe16(bytes + 6);
    header.Method = LoadLe16(bytes + 8);
    header.Time = LoadLe32(bytes + 10);
    header.Crc = LoadLe32(bytes + 14);
    header.CompressedSize = static_cast<std::int32_t>(LoadLe32(bytes + 18));
    header.Size = static_cast<std::int32_t>(LoadLe32(bytes + 22));
    if ((header.Flags & 8) != 0) {
        header.CompressedSize = kUnknownSize;
        header.Size = kUnknownSize;
    }
    if (header.Method >= 32 || ((kSupportedMethods >> header.Method) & 1) == 0) {
        return Fail(ZipErrMethod);
    }
    if ((header.Flags & 1) != 0) {
        return Fail(ZipErrEncrypted);
    }
    header.DataOffset =
        std::uint64_t{offset} + kLocalHeaderSize + LoadLe16(bytes + 26) + LoadLe16(bytes + 28);
    if (!archive.Seek(header.DataOffset)) {
        return Fail(ZipErrRead);
    }
    return ZipOk;
}

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

std::uint32_t ReadDescriptorCrc(ExtractState& state, std::uint32_t computedCrc) {
    state.AlignToByte();
    auto read32 = [&state] {
        const std::uint32_t low = state.ReadBits(16);  // two statements: the order matters
        return low | state.ReadBits(16) << 16;
    };
    const std::uint32_t value = read32();
    if (value == kDescriptorSignature && value != computedCrc) {
        return read32();
    }
    return value;
}

bool IsFolder(platform::FileSystem& files, const std::string& path) {
    const std::uint32_t attributes = files.GetAttributes(path);
    return attributes != platform::attr::kInvalid && (attributes & platform::attr::kDirectory) != 0;
}

// "~zipXXXX.tmp"
constexpr std::size_t kTemporaryNameLength = 12;

// A name for the temporary file in the target's folder that nothing uses yet.
// Within a run, the previous entry's temporary name, free again once its file was
// moved into place (`freed`), serves the next entry in the same folder without a
// probe: one file system lookup less per entry.
std::string TemporaryPathBeside(platform::FileSystem& files, const std::string& target,
                                std::string* freed) {
    static std::uint32_t counter = 0;
    const std::size_t slash = target.find_last_of("\\:");
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    if (freed != nullptr && freed->size() == folder.size() + kTemporaryNameLength &&
        freed->starts_with(folder)) {
        std::string path = std::move(*freed);
        freed->clear();
        return path;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string path;
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const std::uint32_t n = counter++ & 0xFFFF;
        path = folder + "~zip";
        for (int shift = 12; shift >= 0; shift -= 4) {
            path += kHex[(n >> shift) & 15];
        }
        path += ".tmp";
        if (files.GetAttributes(path) == platform::attr::kInvalid) {
            break;
        }
    }
    return path;
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

// Extraction with the busy flag held.
std::int32_t ExtractHeld(ArchiveSource source, TargetSpec target, std::uint32_t headerOffset,
                         const ZipProgressWindow* progressWindow, std::int32_t progressId) {
    platform::Os& os = platform::CurrentOs();
    platform::FileSystem& files = os.Files();
    ZipSharedState& shared = ZipShared();

    // Names are only reused inside a run, which holds the archive open.
    std::string* freedTemporary = source.Open != nullptr ? &shared.FreedTemporaryPath : nullptr;
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
    if (const std::int32_t result = ReadLocalHeader(*archive, headerOffset, header); result != 0) {
        return result;
    }

    std::string targetPath;
    std::string temporaryPath;
    std::unique_ptr<platform::File> ownOutput;
    platform::File* output = target.Created;
    if (target.Path.has_value()) {
        targetPath = *target.Path;
        SlashesToBackslashes(targetPath);
        if (targetPath.size() > kMaxPathLength) {
            return Fail(ZipErrWrite);
        }
        if (!targetPath.empty() && targetPath.back() == '\\') {
            ownArchive.reset();
            ZipCreateFolders(targetPath);
            targetPath.pop_back();
            return IsFolder(files, targetPath) || targetPath.empty() || targetPath.back() == ':'
                       ? ZipOk
                       : Fail(ZipErrWrite);
        }
        if (output == nullptr) {
            // A new target is written in place: there is nothing to keep, and a
            // failure deletes it. Creating it only if the name is free means that
            // nothing which appeared since the caller looked is overwritten before
            // the CRC check.
            ownOutput = files.Open(targetPath, platform::OpenMode::CreateNew);
            if (ownOutput == nullptr &&
                files.GetAttributes(targetPath) == platform::attr::kInvalid) {
                ZipCreateFolders(targetPath);
                ownOutput = files.Open(targetPath, platform::OpenMode::CreateNew);
            }
            if (ownOutput == nullptr) {
                temporaryPath = TemporaryPathBeside(files, targetPath, freedTemporary);
                ownOutput = files.Open(temporaryPath, platform::OpenMode::CreateWrite);
            }
            if (ownOutput == nullptr) {
                return Fail(ZipErrWrite);
            }
            output = ownOutput.get();
        }
    }
    // The file being written: the new target itself, or the temporary file.
    const std::string& writtenPath = temporaryPath.empty() ? targetPath : temporaryPath;

    ExtractState state;
    state.Archive = archive;
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

    std::int32_t result = RunDecoder(state, header.Method);
    const std::uint32_t crc = ~state.RunningCrc;
    std::uint32_t expectedCrc = header.Crc;
    if (result == 0 && (header.Flags & 8) != 0) {
        expectedCrc = ReadDescriptorCrc(state, crc);
    }
    ownArchive.reset();  // closes it; a run's handle stays open
    if (output != nullptr) {
        // Set on the open file, which spares looking the path up again.
        output->SetLastWriteDos(header.Time);
        if (!output->Close() && result == 0) {
            result = Fail(ZipErrWrite);  // the data did not reach the disk
        }
    }
    ownOutput.reset();
    if (result == 0 && crc != expectedCrc) {
        result = Fail(ZipErrCrc);
    }
    if (result != 0) {
        if (target.Path.has_value() && target.Created == nullptr) {
            files.DeleteFile(writtenPath);
        }
        return result;
    }

    state.LastPercent = 100;
    if (progressWindow != nullptr && *progressWindow) {
        std::uint16_t percent = 100;
        (*progressWindow)(progressId, percent);
    }
    if (!temporaryPath.empty()) {
        if (!files.MoveFile(temporaryPath, targetPath, true)) {
            files.DeleteFile(temporaryPath);
            return Fail(ZipErrWrite);
        }
        if (freedTemporary != nullptr) {
            *freedTemporary = std::move(temporaryPath);
        }
    }
    return ZipOk;
}

std::int32_t ExtractGuarded(ArchiveSource source, TargetSpec target, std::int32_t headerOffset,
                            const ZipProgressWindow* progressWindow, std::int32_t progressId) {
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
    return ExtractHeld(source, target, static_cast<std::uint32_t>(headerOffset), progressWindow,
                       progressId);
}

bool IsDrive(std::string_view part) {
    return part.size() == 2 && part[1] == ':';
}

}  // namespace

std::int32_t ZipExtractEntry(std::string_view archivePath, std::string_view targetPath,
                             std::int32_t headerOffset, const ZipProgressWindow* progressWindow,
                             std::int32_t progressId, platform::File* openArchive,
                             platform::File* createdTarget) {
    return ExtractGuarded({archivePath, openArchive}, {targetPath, createdTarget}, headerOffset,
                          progressWindow, progressId);
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
                          std::int32_t progressId, platform::File* openArchive) {
    return ExtractGuarded({archivePath, openArchive}, {}, headerOffset, nullptr, progressId);
}

void ZipCreateFolders(std::string_view path) {
    platform::FileSystem& files = platform::CurrentOs().Files();
    const std::size_t nameStart = path.rfind('\\');
    if (nameStart == std::string_view::npos) {
        return;  // a bare file name: nothing to create
    }
    // A network path's server and share are never created.
    const std::size_t skipParts = path.substr(0, 2) == "\\\\" ? 4 : 0;
    std::string prefix;
    std::size_t start = 0;
    for (std::size_t part = 0; start <= nameStart; ++part) {
        const std::size_t end = path.find('\\', start);
        const std::string_view name = path.substr(start, end - start);
        if (part > 0) {
            prefix += '\\';
        }
        prefix += name;
        start = end + 1;
        if (name.empty() || (part == 0 && IsDrive(name)) || part < skipParts) {
            continue;
        }
        if (IsFolder(files, prefix)) {
            continue;
        }
        if (!files.CreateFolder(prefix)) {
            return;
        }
    }
}

}  // namespace setup::zip
