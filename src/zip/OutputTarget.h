// The output target: write in place, or beside and replace on commit.
//
// A target that does not exist yet is created and written directly; any failure
// deletes it again. For an existing target the data goes into a temporary file
// beside it, which is moved over the target only after the CRC matched: a decoder
// failure, a CRC mismatch, an abort or a failed move removes the temporary file
// and leaves the target as it was. The written file gets the entry's time before
// any move.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Os.h"

namespace setup::zip {

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
    std::int32_t Open(std::string targetPath, platform::File* created);

    // The open file; null before Open and after Close.
    platform::File* File() const { return file_; }

    // Stamps the entry's time on the open file (which spares looking the path up
    // again) and closes it; false when the data did not reach the disk.
    bool Close(std::uint32_t dosTime);

    // Puts the written file in place for good: 0, or -2 when a temporary file
    // can't replace the target.
    std::int32_t Commit();

  private:
    void Discard();

    platform::FileSystem& files_;
    std::string target_;
    std::string temporary_;  // empty: the target is written in place
    std::unique_ptr<platform::File> own_;
    platform::File* file_ = nullptr;
    bool opened_ = false;
    bool callerOwned_ = false;
    bool kept_ = false;
};

// Creates the missing folders of a path; the part after the last "\" is a file
// name and is not created. The first part that can be neither found nor created
// ends the work silently.
void ZipCreateFolders(std::string_view path);

}  // namespace setup::zip
