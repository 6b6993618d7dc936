// Extracting one entry: the local header, the decoder of its method, the CRC.
//
// The local header (30 bytes and the entry's name and extra field) precedes the
// data; its flags, method, time, CRC and sizes are the ones used here. With flag bit
// 3 (written by tools that stream to a pipe) the sizes and the CRC follow the data
// in a data descriptor: CRC, compressed size and size, 4 bytes each, after the
// optional signature 50 4B 07 08.
//  - An extraction run knows the entry's central directory header, which always
//    holds the three values: they are taken from there, for every method, and the
//    descriptor must agree with them (a different CRC is -1, different sizes -4).
//  - A single-entry call has nothing but the local header: the sizes are unknown
//    (0x7FFFFFFF) and the CRC is read after decoding, from the bit reader, at the
//    next byte boundary; when its four bytes are the signature and differ from the
//    computed CRC, the CRC is the four bytes after them. Only a method with an end
//    marker (deflate) can find the end of such data.
// The local header's ZIP64 field (extra field 0x0001; Info-ZIP zip writes it for data
// read from standard input) changes two things: sizes of 0xFFFFFFFF in the header
// stand for the field's 8-byte sizes (size first, then compressed size), and a data
// descriptor's sizes are 8 bytes each. The extra field is read only for such sizes
// and for entries with a descriptor; a size of 0x7FFFFFFF or more is refused (-4).
// An entry whose sizes are both 0 is an empty file, whatever its method.
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
#include <vector>

#include "zip/Decoders.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipState.h"

namespace setup::zip {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kDescriptorSignature = 0x08074B50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint16_t kZip64FieldId = 0x0001;
constexpr std::uint32_t kSizeInZip64Field = 0xFFFFFFFF;
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
    bool HasDescriptor = false;  // flag bit 3
    bool SizesKnown = true;      // false: a descriptor whose values are not known yet
    bool Zip64 = false;          // a ZIP64 field: the descriptor's sizes are 8 bytes each
};

std::uint64_t LoadLe64(const std::uint8_t* p) {
    return LoadLe32(p) | std::uint64_t{LoadLe32(p + 4)} << 32;
}

// Looks for the ZIP64 field in the local header's extra field (`length` bytes at
// the archive's position). With it, `header` notes the field and, when its sizes are
// `fromField`, takes them from it. 0, or -4 for an unreadable extra field, or sizes
// the field does not give or that are 0x7FFFFFFF or more.
std::int32_t ReadZip64Field(platform::File& archive, std::uint16_t length, bool fromField,
                            LocalHeader& header) {
    std::vector<std::uint8_t> extra(length);
    if (archive.Read(extra) != static_cast<std::int64_t>(length)) {
        return Fail(ZipErrFormat);
    }
    std::span<const std::uint8_t> rest(extra);
    while (rest.size() >= 4) {
        const std::size_t size = LoadLe16(rest.data() + 2);
        if (size > rest.size() - 4) {
            break;  // a damaged extra field: nothing more in it is trusted
        }
        if (LoadLe16(rest.data()) == kZip64FieldId) {
            header.Zip64 = true;
            if (!fromField) {
                return ZipOk;
            }
            // In a local header the field holds both sizes.
            constexpr auto kLargest = static_cast<std::uint64_t>(kUnknownSize) - 1;
            if (size < 16 || LoadLe64(rest.data() + 4) > kLargest ||
                LoadLe64(rest.data() + 12) > kLargest) {
                return Fail(ZipErrFormat);
            }
            header.Size = static_cast<std::int32_t>(LoadLe64(rest.data() + 4));
            header.CompressedSize = static_cast<std::int32_t>(LoadLe64(rest.data() + 12));
            return ZipOk;
        }
        rest = rest.subspan(4 + size);
    }
    return fromField ? Fail(ZipErrFormat) : ZipOk;
}

// Reads and checks the local header; leaves the archive at the entry's data.
// `central`: the entry's values from the central directory, if known.
std::int32_t ReadLocalHeader(platform::File& archive, std::uint32_t offset,
                             const ZipCentralValues* central, LocalHeader& header) {
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
    header.HasDescriptor = (header.Flags & 8) != 0;
    if (header.HasDescriptor && central != nullptr) {
        header.CompressedSize = central->CompressedSize;
        header.Size = central->Size;
        header.Crc = central->Crc;
    } else if (header.HasDescriptor) {
        header.CompressedSize = kUnknownSize;
        header.Size = kUnknownSize;
        header.SizesKnown = false;
    }
    if (header.Method >= 32 || ((kSupportedMethods >> header.Method) & 1) == 0) {
        return Fail(ZipErrMethod);
    }
    if ((header.Flags & 1) != 0) {
        return Fail(ZipErrEncrypted);
    }
    const std::uint16_t nameLength = LoadLe16(bytes + 26);
    const std::uint16_t extraLength = LoadLe16(bytes + 28);
    const bool sizesInField = !header.HasDescriptor && (LoadLe32(bytes + 18) == kSizeInZip64Field ||
                                                        LoadLe32(bytes + 22) == kSizeInZip64Field);
    if (sizesInField || header.HasDescriptor) {
        if (!archive.Seek(std::uint64_t{offset} + kLocalHeaderSize + nameLength)) {
            return Fail(ZipErrRead);
        }
        if (const std::int32_t result = ReadZip64Field(archive, extraLength, sizesInField, header);
            result != 0) {
            return result;
        }
    }
    header.DataOffset = std::uint64_t{offset} + kLocalHeaderSize + nameLength + extraLength;
    if (!archive.Seek(header.DataOffset)) {
        return Fail(ZipErrRead);
    }
    return ZipOk;
}

// Checks the data descriptor behind an entry whose values are known: 0, -1 for a
// different CRC, -4 for different sizes, -3 when it can't be read.
std::int32_t CheckDescriptor(platform::File& archive, const LocalHeader& header) {
    const std::size_t sizeBytes = header.Zip64 ? 8 : 4;
    const std::size_t fieldsBytes = 4 + 2 * sizeBytes;
    std::uint8_t bytes[4 + 4 + 2 * 8];
    const std::uint64_t at = header.DataOffset + static_cast<std::uint32_t>(header.CompressedSize);
    const std::int64_t got = archive.Seek(at) ? archive.Read({bytes, 4 + fieldsBytes}) : -1;
    if (got < static_cast<std::int64_t>(fieldsBytes)) {
        return Fail(ZipErrRead);
    }
    auto loadSize = [sizeBytes](const std::uint8_t* field) {
        return sizeBytes == 8 ? LoadLe64(field) : LoadLe32(field);
    };
    auto agrees = [&header, &loadSize, sizeBytes](const std::uint8_t* fields) {
        return LoadLe32(fields) == header.Crc &&
               loadSize(fields + 4) == static_cast<std::uint32_t>(header.CompressedSize) &&
               loadSize(fields + 4 + sizeBytes) == static_cast<std::uint32_t>(header.Size);
    };
    const bool withSignature = got == static_cast<std::int64_t>(4 + fieldsBytes) &&
                               LoadLe32(bytes) == kDescriptorSignature;
    if (agrees(bytes) || (withSignature && agrees(bytes + 4))) {
        return ZipOk;
    }
    const std::uint8_t* fields = withSignature ? bytes + 4 : bytes;
    return Fail(LoadLe32(fields) != header.Crc ? ZipErrCrc : ZipErrFormat);
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

// A temporary file in the target's folder, created under a name nothing used
// before: "~zipXXXX.tmp", created exclusively, a taken name skipped. Null when the
// folder takes no new file.
std::unique_ptr<platform::File> CreateTemporaryBeside(platform::FileSystem& files,
                                                      const std::string& target,
                                                      std::string& path) {
    static std::uint32_t counter = 0;
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::size_t slash = target.find_last_of("\\:");
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const std::uint32_t n = counter++ & 0xFFFF;
        path = folder + "~zip";
        for (int shift = 12; shift >= 0; shift -= 4) {
            path += kHex[(n >> shift) & 15];
        }
        path += ".tmp";
        if (auto file = files.Open(path, platform::OpenMode::CreateNew)) {
            return file;
        }
        if (files.GetAttributes(path) == platform::attr::kInvalid) {
            break;  // the name is free, yet no file can be made there
        }
    }
    path.clear();
    return nullptr;
}

// The file an extraction writes: the new target itself, or a temporary file beside
// an existing target that replaces it on Commit. Whatever was written is deleted
// again unless it was committed, on every way out (a failure code as well as an
// exception). A target the caller created stays the caller's to delete.
class OutputTarget {
  public:
    explicit OutputTarget(platform::FileSystem& files) : files_(files) {}
    ~OutputTarget() { Discard(); }
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;

    // 0 or -2. `created`: the target as the caller created it.
    std::int32_t Open(std::string targetPath, platform::File* created) {
        target_ = std::move(targetPath);
        if (created != nullptr) {
            file_ = created;
            opened_ = true;
            callerOwned_ = true;
            return ZipOk;
        }
        // A new target is written in place: there is nothing to keep, and a
        // failure deletes it. Creating it only if the name is free means that
        // nothing which appeared since the caller looked is overwritten before the
        // CRC check.
        own_ = files_.Open(target_, platform::OpenMode::CreateNew);
        if (own_ == nullptr && files_.GetAttributes(target_) == platform::attr::kInvalid) {
            ZipCreateFolders(target_);
            own_ = files_.Open(target_, platform::OpenMode::CreateNew);
        }
        if (own_ == nullptr) {
            own_ = CreateTemporaryBeside(files_, target_, temporary_);
        }
        if (own_ == nullptr) {
            return Fail(ZipErrWrite);
        }
        file_ = own_.get();
        opened_ = true;
        return ZipOk;
    }

    // The open file; null before Open and after Close.
    platform::File* File() const { return file_; }

    // Stamps the entry's time on the open file (which spares looking the path up
    // again) and closes it; false when the data did not reach the disk.
    bool Close(std::uint32_t dosTime) {
        file_->SetLastWriteDos(dosTime);
        const bool closed = file_->Close();
        file_ = nullptr;
        own_.reset();
        return closed;
    }

    // Puts the written file in place for good: 0, or -2 when a temporary file
    // can't replace the target.
    std::int32_t Commit() {
        if (!temporary_.empty() && !files_.MoveFile(temporary_, target_, true)) {
            return Fail(ZipErrWrite);
        }
        kept_ = true;
        return ZipOk;
    }

  private:
    void Discard() {
        if (kept_ || !opened_) {
            return;
        }
        if (own_ != nullptr) {
            own_->Close();
            own_.reset();
        }
        if (!callerOwned_) {
            files_.DeleteFile(temporary_.empty() ? target_ : temporary_);
        }
    }

    platform::FileSystem& files_;
    std::string target_;
    std::string temporary_;  // empty: the target is written in place
    std::unique_ptr<platform::File> own_;
    platform::File* file_ = nullptr;
    bool opened_ = false;
    bool callerOwned_ = false;
    bool kept_ = false;
};

// A folder entry: creates the folders of `path` (which ends with "\\"); 0 or -2.
std::int32_t ExtractFolder(platform::FileSystem& files, std::string path) {
    ZipCreateFolders(path);
    path.pop_back();
    return IsFolder(files, path) || path.empty() || path.back() == ':' ? ZipOk : Fail(ZipErrWrite);
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

bool IsDrive(std::string_view part) {
    return part.size() == 2 && part[1] == ':';
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
