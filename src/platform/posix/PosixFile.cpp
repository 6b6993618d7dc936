#include "platform/posix/PosixFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/posix/DosTime.h"
#include "platform/posix/HostAttributes.h"

namespace setup::platform::posix {

PosixFile::~PosixFile() {
    Close();
}

namespace {

constexpr std::size_t kBlockAhead = 64 * 1024;
// Reads up to this size go through the block; larger ones straight to the buffer.
constexpr std::size_t kLargestReadAhead = kBlockAhead / 4;

}  // namespace

PosixFile::Transfer PosixFile::ReadFully(std::span<std::uint8_t> buffer, std::int64_t at) {
    Transfer done;
    while (done.count < buffer.size()) {
        const std::size_t want = buffer.size() - done.count;
        const ssize_t count =
            positioned_ ? pread(descriptor_, buffer.data() + done.count, want,
                                static_cast<off_t>(at + static_cast<std::int64_t>(done.count)))
                        : read(descriptor_, buffer.data() + done.count, want);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            done.failed = count < 0;
            break;
        }
        done.count += static_cast<std::size_t>(count);
    }
    return done;
}

std::int64_t PosixFile::ReadFromBlockAhead(std::span<std::uint8_t> buffer) {
    const std::int64_t end = position_ + static_cast<std::int64_t>(buffer.size());
    if (position_ < aheadAt_ || end > aheadAt_ + static_cast<std::int64_t>(aheadLength_)) {
        ahead_.resize(kBlockAhead);
        const Transfer block = ReadFully(ahead_, position_);
        aheadAt_ = position_;
        aheadLength_ = block.failed ? 0 : block.count;
        if (block.failed) {
            return -1;
        }
    }
    const auto from = static_cast<std::size_t>(position_ - aheadAt_);
    const std::size_t count = std::min(buffer.size(), aheadLength_ - from);
    if (count > 0) {  // an empty buffer may have no address
        std::memcpy(buffer.data(), ahead_.data() + from, count);
    }
    position_ += static_cast<std::int64_t>(count);
    return static_cast<std::int64_t>(count);
}

std::int64_t PosixFile::Read(std::span<std::uint8_t> buffer) {
    if (descriptor_ < 0) {
        return -1;
    }
    if (readAhead_ && positioned_ && buffer.size() <= kLargestReadAhead) {
        return ReadFromBlockAhead(buffer);
    }
    // Like ReadFile on a disk file: fills the buffer unless the file ends first.
    const Transfer done = ReadFully(buffer, position_);
    position_ += static_cast<std::int64_t>(done.count);
    return done.failed ? -1 : static_cast<std::int64_t>(done.count);
}

std::int64_t PosixFile::Write(std::span<const std::uint8_t> data) {
    if (descriptor_ < 0) {
        return -1;
    }
    std::size_t total = 0;
    while (total < data.size()) {
        const std::size_t want = data.size() - total;
        const ssize_t count =
            positioned_ ? pwrite(descriptor_, data.data() + total, want,
                                 static_cast<off_t>(position_ + static_cast<std::int64_t>(total)))
                        : write(descriptor_, data.data() + total, want);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            position_ += static_cast<std::int64_t>(total);
            return -1;
        }
        total += static_cast<std::size_t>(count);
    }
    position_ += static_cast<std::int64_t>(total);
    return static_cast<std::int64_t>(total);
}

bool PosixFile::Seek(std::uint64_t position) {
    if (descriptor_ < 0 || position > static_cast<std::uint64_t>(INT64_MAX)) {
        return false;
    }
    // The first seek asks the system, which refuses it on a pipe, say.
    if (!positioned_ && lseek(descriptor_, static_cast<off_t>(position), SEEK_SET) < 0) {
        return false;
    }
    positioned_ = true;
    position_ = static_cast<std::int64_t>(position);
    return true;
}

std::int64_t PosixFile::Size() {
    struct stat info {};
    if (descriptor_ < 0 || fstat(descriptor_, &info) != 0) {
        return -1;
    }
    return info.st_size;
}

bool PosixFile::SetLastWriteDos(std::uint32_t dosDateTime) {
    const auto when = UnixFromLocalDos(dosDateTime);
    if (descriptor_ < 0 || !when) {
        return false;
    }
    const timespec times[2] = {{0, UTIME_OMIT}, *when};
    return futimens(descriptor_, times) == 0;
}

bool PosixFile::Close() {
    if (descriptor_ < 0) {
        return false;
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return close(descriptor) == 0;
}

bool PosixFile::SetAttributes(std::uint32_t attributes) {
    if (descriptor_ < 0) {
        return false;
    }
    struct stat info {};
    if (createdMode_) {
        info.st_mode = S_IFREG | *createdMode_;
        createdMode_.reset();  // setting attributes may change it
    } else if (fstat(descriptor_, &info) != 0) {
        return false;
    }
    return WriteHostAttributes(descriptor_, info, attributes);
}

}  // namespace setup::platform::posix
