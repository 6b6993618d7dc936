#include "Packing.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iomanip>
#include <mutex>
#include <sstream>
#include <thread>

#include "Deflate.h"
#include "ZipWriter.h"

namespace setup::medium {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        throw BuildError(file.string() + ": no such file (did it vanish?)");
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in || in.bad()) {
        throw BuildError(file.string() + ": can't be read");
    }
    return std::move(bytes).str();
}

void WriteWhole(const fs::path& file, std::string_view bytes, fs::file_time_type time) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw BuildError(file.string() + ": can't be written");
    }
    fs::last_write_time(file, time, error);
}

namespace {

// Progress lines at every tenth of the bytes: files done, bytes, ratio so far.
class Progress {
  public:
    Progress(std::ostream& log, std::size_t files, std::uint64_t total, bool shown)
        : log_(log), files_(files), total_(total), shown_(shown) {}

    void Done(std::uint64_t before, std::uint64_t after) {
        const std::lock_guard lock(mutex_);
        ++done_;
        before_ += before;
        after_ += after;
        if (!shown_ || before_ * 10 < next_ * total_) {
            return;
        }
        while (before_ * 10 >= next_ * total_ && next_ <= 10) {
            ++next_;
        }
        log_ << "medium: " << done_ << "/" << files_ << " files, " << before_ / 1000 << " of "
             << total_ / 1000 << " KB, packed to " << Percent(after_, before_) << "\n";
    }

    static std::string Percent(std::uint64_t part, std::uint64_t whole) {
        std::ostringstream text;
        text << std::fixed << std::setprecision(1)
             << (whole == 0 ? 100.0
                            : 100.0 * static_cast<double>(part) / static_cast<double>(whole))
             << " %";
        return text.str();
    }

  private:
    std::ostream& log_;
    std::size_t files_;
    std::uint64_t total_;
    bool shown_;
    std::mutex mutex_;
    std::size_t done_ = 0;
    std::uint64_t before_ = 0;
    std::uint64_t after_ = 0;
    std::uint64_t next_ = 1;
};

std::uint64_t SizeOf(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0 : size;
}

}  // namespace

PackTotals RunJobs(const std::vector<PackJob>& jobs, std::ostream& log,
                   std::uint64_t progressFrom) {
    std::uint64_t total = 0;
    for (const PackJob& job : jobs) {
        total += SizeOf(job.from);
    }
    Progress progress(log, jobs.size(), total, total >= progressFrom);
    PackTotals totals;
    std::mutex mutex;
    std::string failure;
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        Deflater deflater;
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            const PackJob& job = jobs[i];
            try {
                const std::string data = ReadWhole(job.from);
                std::error_code error;
                const fs::file_time_type time = fs::last_write_time(job.from, error);
                if (error) {
                    throw BuildError(job.from.string() + ": no such file (did it vanish?)");
                }
                const std::string packed =
                    job.entry.empty()
                        ? std::string()
                        : SingleEntryZip(job.entry, DosDateTime(time), data, deflater);
                const std::string_view written = job.entry.empty() ? data : packed;
                WriteWhole(job.to, written, time);
                progress.Done(data.size(), written.size());
                const std::lock_guard lock(mutex);
                ++totals.files;
                totals.archives += job.entry.empty() ? 0U : 1U;
                totals.before += data.size();
                totals.after += written.size();
            } catch (const std::exception& error) {
                const std::lock_guard lock(mutex);
                failure = failure.empty() ? error.what() : failure;
                next = jobs.size();
            }
        }
    };
    const unsigned cores = std::max(1U, std::min(std::thread::hardware_concurrency(), 8U));
    std::vector<std::thread> workers;
    for (unsigned i = 1; i < cores && i < jobs.size(); ++i) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (!failure.empty()) {
        throw BuildError(failure);
    }
    return totals;
}

}  // namespace setup::medium
