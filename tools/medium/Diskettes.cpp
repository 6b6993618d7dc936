#include "Diskettes.h"

#include <algorithm>

#include "system/PathHelpers.h"

namespace setup::medium {
namespace {

class Disks {
  public:
    explicit Disks(std::uint64_t capacity) : capacity_(capacity) { Open(); }

    void Open() {
        layout_.disks.emplace_back();
        used_.push_back(0);
    }
    bool OnLast(std::string_view path) const {
        const auto& disk = layout_.disks.back();
        return std::any_of(disk.begin(), disk.end(),
                           [&](const std::string& p) { return EqualsNoCase(p, path); });
    }
    bool FitsLast(std::uint64_t size) const { return used_.back() + size <= capacity_; }
    void Put(const MediumFile& file) {
        layout_.disks.back().push_back(file.path);
        used_.back() += file.size;
    }
    // Takes the last file off the last diskette.
    std::string TakeLast(std::uint64_t size) {
        std::string path = std::move(layout_.disks.back().back());
        layout_.disks.back().pop_back();
        used_.back() -= size;
        return path;
    }
    DisketteLayout Done() { return std::move(layout_); }

  private:
    std::uint64_t capacity_;
    DisketteLayout layout_;
    std::vector<std::uint64_t> used_;
};

std::string Bytes(std::uint64_t n) {
    return std::to_string(n) + " bytes";
}

}  // namespace

std::optional<std::uint64_t> ParseDisketteSize(std::string_view text) {
    std::uint64_t unit = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'k')) {
        unit = 1024;
    } else if (!text.empty() && (text.back() == 'M' || text.back() == 'm')) {
        unit = 1024000;
    }
    if (unit != 1) {
        text.remove_suffix(1);
    }
    const std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view s) {
        return s.size() <= 12 &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !digits(whole) || !digits(fraction) ||
        (point != std::string_view::npos && (fraction.empty() || unit == 1))) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : whole) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    value *= unit;
    std::uint64_t scale = 1;
    std::uint64_t part = 0;
    for (char c : fraction.substr(0, 6)) {
        part = part * 10 + static_cast<std::uint64_t>(c - '0');
        scale *= 10;
    }
    value += part * unit / scale;
    return value == 0 ? std::nullopt : std::optional<std::uint64_t>(value);
}

std::variant<DisketteLayout, std::string> LayOutDiskettes(const std::vector<MediumFile>& first,
                                                          const std::vector<MediumFile>& listed,
                                                          const MediumFile& uninstaller,
                                                          std::uint64_t capacity) {
    Disks disks(capacity);
    std::vector<MediumFile> fixed = first;
    if (!uninstaller.path.empty()) {
        fixed.push_back(uninstaller);
    }
    std::uint64_t fixedBytes = 0;
    std::string fixedNames;
    for (const MediumFile& file : fixed) {
        if (!disks.OnLast(file.path)) {
            disks.Put(file);
            fixedBytes += file.size;
            fixedNames += (fixedNames.empty() ? "" : ", ") + file.path;
        }
    }
    if (fixedBytes > capacity) {
        return "the diskette size of " + Bytes(capacity) +
               " is below what the first diskette must hold: " + Bytes(fixedBytes) + " (" +
               fixedNames + ")";
    }
    const MediumFile* last = nullptr;  // the last file put on the last diskette
    for (const MediumFile& file : listed) {
        if (disks.OnLast(file.path)) {
            continue;  // in the drive already when it is asked for
        }
        if (file.size > capacity) {
            return "\"" + file.path + "\" (" + Bytes(file.size) +
                   ") does not fit on an empty diskette of " + Bytes(capacity);
        }
        if (!disks.FitsLast(file.size)) {
            disks.Open();
        }
        disks.Put(file);
        last = &file;
    }
    // The uninstaller is placed from the diskette in the drive after the last file.
    if (!uninstaller.path.empty() && !disks.OnLast(uninstaller.path)) {
        if (!disks.FitsLast(uninstaller.size)) {
            // The last file moves to a diskette of its own beside the uninstaller.
            if (last == nullptr || last->size + uninstaller.size > capacity) {
                return "\"" + (last ? last->path : uninstaller.path) +
                       "\" and the uninstaller do not fit together on the last diskette of " +
                       Bytes(capacity);
            }
            std::string moved = disks.TakeLast(last->size);
            disks.Open();
            disks.Put({std::move(moved), last->size});
        }
        disks.Put(uninstaller);
    }
    return disks.Done();
}

}  // namespace setup::medium
