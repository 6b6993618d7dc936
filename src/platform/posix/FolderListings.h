// Case-insensitive name lookups in host folders, answered from remembered folder
// listings that the kernel keeps current.
//
// Windows finds "readme.txt" when the folder holds "ReadMe.TXT"; a case-sensitive
// host can only tell by reading the whole folder, and creating a file is exactly
// such a lookup (is there a spelling of the name already?). Reading a large folder
// for every file written made extraction runs spend most of their time in readdir.
//
// So the names of a folder that is looked in again are remembered, and an inotify
// watch on the folder reports every later change, by this process or any other:
// created, deleted and renamed names are applied to the remembered listing before
// each lookup. The first lookup in a folder only reads it: a watch costs a wait
// for the kernel when it is removed (at the latest when the process ends, some
// milliseconds), which a run that looks in a folder once, as the extraction of a
// single file does, would pay for nothing. Listings are keyed by the folder's
// device and inode, so a folder that was replaced or reached through another path
// is never confused with the one that was read. When inotify is unavailable (no
// instance left, a folder that can't be watched) or its queue overflowed, lookups
// read the folder as before.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/posix/FoldedNames.h"

namespace setup::platform::posix {

class FolderListings {
  public:
    FolderListings() = default;
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

    // The entry of `folder` whose name equals `name` (Windows-1252) without regard
    // to case, the first in sorted order; nothing when there is none. `info` is the
    // folder's stat() result.
    std::optional<std::string> FindFolded(const std::filesystem::path& folder,
                                          const struct stat& info, std::string_view name);

    // Folders whose listings are held now (for tests).
    std::size_t HeldCount() const;

  private:
    using FolderId = std::pair<dev_t, ino_t>;
    struct Listing {
        int Watch = -1;
        FoldedNames Names;
    };

    bool EnsureNotifier();
    void ApplyPendingChanges();
    void ForgetAll();
    Listing* Read(const std::filesystem::path& folder, const struct stat& info);

    mutable std::mutex mutex_;
    int notifier_ = -1;
    bool notifierFailed_ = false;
    std::map<FolderId, Listing> listings_;
    // Folders looked in once and read without a watch.
    std::set<FolderId> readOnce_;
    std::unordered_map<int, FolderId> folderOfWatch_;
};

// Reads the whole folder for a name, without remembering anything.
std::optional<std::string> ScanFolderFolded(const std::filesystem::path& folder,
                                            std::string_view name);

}  // namespace setup::platform::posix
