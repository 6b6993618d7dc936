#include "platform/posix/FolderListings.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/posix/Cp1252.h"
#include "platform/posix/HostHandles.h"

namespace setup::platform::posix {
namespace {

// Enough for any folder a test or an installation touches; beyond it everything is
// forgotten and read afresh, which keeps the number of watches bounded.
constexpr std::size_t kMostFolders = 1024;

constexpr std::uint32_t kWatchedChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

std::string Folded(std::string_view name1252) {
    std::string folded(name1252);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldCase1252);
    return folded;
}

std::string FoldedHostName(std::string_view hostName) {
    return Folded(Utf8ToCp1252(hostName));
}

bool IsDotName(std::string_view hostName) {
    return hostName == "." || hostName == "..";
}

}  // namespace

std::optional<std::string> ScanFolderFolded(const std::filesystem::path& folder,
                                            std::string_view name) {
    HostDirectory dir(opendir(folder.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    // The two spellings of a letter take the same number of UTF-8 bytes, so only
    // names of the length of `name` in UTF-8 can match, unless `name` holds a "?",
    // which a host name's characters outside Windows-1252 turn into.
    const std::size_t utf8Length = Cp1252ToUtf8(name).size();
    const bool lengthMustMatch = name.find('?') == std::string_view::npos;
    std::optional<std::string> best;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view hostName = entry->d_name;
        if ((lengthMustMatch && hostName.size() != utf8Length) || IsDotName(hostName)) {
            continue;
        }
        if (EqualsFolded1252(Utf8ToCp1252(hostName), name) && (!best || hostName < *best)) {
            best = std::string(hostName);
        }
    }
    return best;
}

FolderListings::~FolderListings() {
    if (notifier_ >= 0) {
        close(notifier_);
    }
}

std::size_t FolderListings::HeldCount() const {
    const std::lock_guard lock(mutex_);
    return listings_.size();
}

bool FolderListings::EnsureNotifier() {
    if (notifier_ < 0 && !notifierFailed_) {
        notifier_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        notifierFailed_ = notifier_ < 0;
    }
    return notifier_ >= 0;
}

void FolderListings::ForgetAll() {
    // Closing the instance removes all its watches at once.
    if (notifier_ >= 0) {
        close(notifier_);
        notifier_ = -1;
    }
    listings_.clear();
    folderOfWatch_.clear();
    readOnce_.clear();
}

void FolderListings::ApplyPendingChanges() {
    if (notifier_ < 0) {
        return;
    }
    alignas(inotify_event) std::array<char, 16 * 1024> buffer;
    // The largest event: the record and a name of NAME_MAX bytes with its NUL.
    constexpr std::size_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;
    for (;;) {
        const ssize_t length = read(notifier_, buffer.data(), buffer.size());
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            if (length < 0 && errno != EAGAIN) {
                ForgetAll();  // the changes can no longer be followed
            }
            return;
        }
        // A read that left room for another event took all that was queued.
        const bool more = static_cast<std::size_t>(length) + kLargestEvent > buffer.size();
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + offset, sizeof(event));
            const std::string_view name =
                event.len > 0 ? std::string_view(buffer.data() + offset + sizeof(event)) : "";
            offset += static_cast<ssize_t>(sizeof(event) + event.len);
            if ((event.mask & IN_Q_OVERFLOW) != 0) {
                ForgetAll();  // changes were lost; everything is read again
                return;
            }
            auto folder = folderOfWatch_.find(event.wd);
            if (folder == folderOfWatch_.end()) {
                continue;
            }
            if ((event.mask & IN_IGNORED) != 0) {  // the folder is gone
                listings_.erase(folder->second);
                folderOfWatch_.erase(folder);
                continue;
            }
            auto listing = listings_.find(folder->second);
            if (listing == listings_.end() || name.empty()) {
                continue;
            }
            if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                listing->second.Names.Add(FoldedHostName(name), name);
            } else if ((event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
                listing->second.Names.Remove(FoldedHostName(name), name);
            }
        }
        if (!more) {
            return;
        }
    }
}

FolderListings::Listing* FolderListings::Read(const std::filesystem::path& folder,
                                              const struct stat& info) {
    if (listings_.size() >= kMostFolders) {
        ForgetAll();
    }
    if (!EnsureNotifier()) {
        return nullptr;
    }
    // Watched before reading, so that no change can fall between the two; a change
    // seen by both is applied twice, which changes nothing.
    const int watch = inotify_add_watch(notifier_, folder.c_str(), kWatchedChanges);
    if (watch < 0) {
        return nullptr;
    }
    Listing listing;
    listing.Watch = watch;
    HostDirectory dir(opendir(folder.c_str()));
    struct stat after {};
    // The path must still name the folder that was watched and read.
    const bool same = dir && stat(folder.c_str(), &after) == 0 && after.st_dev == info.st_dev &&
                      after.st_ino == info.st_ino;
    if (same) {
        while (const dirent* entry = readdir(dir.get())) {
            const std::string_view hostName = entry->d_name;
            if (!IsDotName(hostName)) {
                listing.Names.Add(FoldedHostName(hostName), hostName);
            }
        }
    }
    if (!same || folderOfWatch_.contains(watch)) {
        // Not the folder we were asked about, or a folder already held under another
        // identity: leave the watch to its owner or remove it.
        if (!folderOfWatch_.contains(watch)) {
            inotify_rm_watch(notifier_, watch);
        }
        return nullptr;
    }
    const FolderId id{info.st_dev, info.st_ino};
    folderOfWatch_[watch] = id;
    return &(listings_[id] = std::move(listing));
}

std::optional<std::string> FolderListings::FindFolded(const std::filesystem::path& folder,
                                                      const struct stat& info,
                                                      std::string_view name) {
    const std::lock_guard lock(mutex_);
    ApplyPendingChanges();
    const FolderId id{info.st_dev, info.st_ino};
    auto held = listings_.find(id);
    if (held == listings_.end()) {
        if (readOnce_.size() >= kMostFolders) {
            readOnce_.clear();
        }
        if (readOnce_.insert(id).second || Read(folder, info) == nullptr) {
            return ScanFolderFolded(folder, name);
        }
        // What changed while the folder was read; an overflow there forgets the new
        // listing again.
        ApplyPendingChanges();
        held = listings_.find(id);
        if (held == listings_.end()) {
            return ScanFolderFolded(folder, name);
        }
    }
    const std::string* spelling = held->second.Names.First(Folded(name));
    if (spelling == nullptr) {
        return std::nullopt;
    }
    return *spelling;
}

}  // namespace setup::platform::posix
