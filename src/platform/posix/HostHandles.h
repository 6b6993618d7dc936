// Owners of host handles: a file descriptor and an open directory, closed when
// their owner is destroyed.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <memory>

namespace setup::platform::posix {

class HostDescriptor {
  public:
    explicit HostDescriptor(int value) : value_(value) {}
    ~HostDescriptor() {
        if (value_ >= 0) {
            close(value_);
        }
    }
    HostDescriptor(const HostDescriptor&) = delete;
    HostDescriptor& operator=(const HostDescriptor&) = delete;

    int Get() const { return value_; }
    bool IsOpen() const { return value_ >= 0; }
    // Closes now; false when closing reported an error (data not written).
    bool Close() {
        const int value = value_;
        value_ = -1;
        return value >= 0 && close(value) == 0;
    }

  private:
    int value_;
};

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};
using HostDirectory = std::unique_ptr<DIR, DirectoryCloser>;

}  // namespace setup::platform::posix
