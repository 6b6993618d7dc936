// The files of a medium written into place: copied byte for byte, or packed
// alone into an archive, each keeping its source's last-write time. The work is
// spread over the processor's cores; deflate at its best ratio is the slow part.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace setup::medium {

// Bad input or a failed write: the message names the file.
class BuildError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct PackJob {
    std::filesystem::path from;
    std::filesystem::path to;
    std::string entry;  // the archive's entry name (Windows-1252); empty: a plain copy
};

struct PackTotals {
    std::size_t files = 0;
    std::size_t archives = 0;  // packed here
    std::uint64_t before = 0;  // bytes read
    std::uint64_t after = 0;   // bytes written
};

// The bytes of a file; throws BuildError naming it when it can't be read.
std::string ReadWhole(const std::filesystem::path& file);

// Writes `bytes` as `file` with the last-write time `time`; throws BuildError.
void WriteWhole(const std::filesystem::path& file, std::string_view bytes,
                std::filesystem::file_time_type time);

// Carries out the jobs; progress on `log` when they read `progressFrom` bytes or
// more. Throws BuildError for the first file that fails.
PackTotals RunJobs(const std::vector<PackJob>& jobs, std::ostream& log, std::uint64_t progressFrom);

}  // namespace setup::medium
