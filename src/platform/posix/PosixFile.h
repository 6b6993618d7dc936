// An open host file behind the File interface.
#pragma once

#include "platform/Os.h"

namespace setup::platform::posix {

class PosixFile final : public File {
  public:
    explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
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
    // Once a seek has shown the file to be seekable, the position is kept here and
    // every read and write names it (pread, pwrite): a later seek is no system call.
    int descriptor_;
    bool positioned_ = false;
    std::int64_t position_ = 0;
};

}  // namespace setup::platform::posix
