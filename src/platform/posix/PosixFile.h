// An open host file behind the File interface.
#pragma once

#include <sys/types.h>

#include <optional>
#include <vector>

#include "platform/Os.h"

namespace setup::platform::posix {

class PosixFile final : public File {
  public:
    // `readAhead`: the handle reads only and no one writes the file while it is open.
    // `createdMode`: the permissions of the file this open created, where known.
    PosixFile(int descriptor, bool readAhead, std::optional<mode_t> createdMode = std::nullopt)
        : descriptor_(descriptor), readAhead_(readAhead), createdMode_(createdMode) {}
    ~PosixFile() override;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::int64_t Read(std::span<std::uint8_t> buffer) override;
    std::int64_t Write(std::span<const std::uint8_t> data) override;
    bool Seek(std::uint64_t position) override;
    std::int64_t Size() override;
    bool SetLastWriteDos(std::uint32_t dosDateTime) override;
    bool Close() override;
    // On the descriptor: no second look-up of the name.
    bool SetAttributes(std::uint32_t attributes) override;

  private:
    struct Transfer {
        std::size_t count = 0;
        bool failed = false;
    };
    // Reads until `buffer` is full or the file ends, at `at` once positioned.
    Transfer ReadFully(std::span<std::uint8_t> buffer, std::int64_t at);
    std::int64_t ReadFromBlockAhead(std::span<std::uint8_t> buffer);

    // Once a seek has shown the file to be seekable, the position is kept here and
    // every read and write names it (pread, pwrite): a later seek is no system call.
    int descriptor_;
    bool positioned_ = false;
    std::int64_t position_ = 0;
    // Small reads on a read-only handle are served from a block read ahead. Windows
    // lets no one write a file while a handle that shares only reading is open, so
    // the block cannot go stale. A ZIP archive's small entries then cost one system
    // call per block instead of two (header, data) per entry.
    bool readAhead_;
    std::vector<std::uint8_t> ahead_;
    std::int64_t aheadAt_ = 0;  // the file position of ahead_[0]
    std::size_t aheadLength_ = 0;
    // Spares the first SetAttributes its fstat on a file just created.
    std::optional<mode_t> createdMode_;
};

}  // namespace setup::platform::posix
