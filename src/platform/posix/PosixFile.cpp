#include "platform/posix/PosixFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/DosTime.h"
#include "platform/posix/HostAttributes.h"

namespace setup::platform::posix {

PosixFile::~PosixFile() {
    Close();
}

std::int64_t PosixFile::Read(std::span<std::uint8_t> buffer) {
    if (descriptor_ < 0) {
        return -1;
    }
    // Like ReadFile on a disk file: fills the buffer unless the file ends first.
    std::size_t total = 0;
    while (total < buffer.size()) {
        const std::size_t want = buffer.size() - total;
        const ssize_t count =
            positioned_ ? pread(descriptor_, buffer.data() + total, want,
                                static_cast<off_t>(position_ + static_cast<std::int64_t>(total)))
                        : read(descriptor_, buffer.data() + total, want);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            position_ += static_cast<std::int64_t>(total);
            return -1;
        }
        if (count == 0) {
            break;
        }
        total += static_cast<std::size_t>(count);
    }
    position_ += static_cast<std::int64_t>(total);
    return static_cast<std::int64_t>(total);
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
    struct stat info {};
    return descriptor_ >= 0 && fstat(descriptor_, &info) == 0 &&
           WriteHostAttributes(descriptor_, info, attributes);
}

}  // namespace setup::platform::posix
