#include "platform/posix/FoldedNames.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace setup::platform::posix {
namespace {

constexpr std::size_t kFewestSlots = 16;
// Rebuilding for a few dead names would cost more than it saves.
constexpr std::size_t kFewestDeadToRebuild = 16;

std::uint64_t SlotOf(std::uint32_t hash, std::size_t index) {
    return (static_cast<std::uint64_t>(hash) << 32) | (index + 1);
}

std::uint32_t HashOfSlot(std::uint64_t slot) {
    return static_cast<std::uint32_t>(slot >> 32);
}

std::size_t IndexOfSlot(std::uint64_t slot) {
    return static_cast<std::size_t>(slot & 0xFFFFFFFFu) - 1;
}

}  // namespace

std::uint32_t FoldedNames::HashOf(std::string_view folded) {
    const std::uint64_t hash = std::hash<std::string_view>{}(folded);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

FoldedNames::Probe FoldedNames::Find(std::string_view folded, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t value = slots_[slot];
        if (value == 0) {
            return {slot, false};
        }
        if (HashOfSlot(value) == hash && names_[IndexOfSlot(value)].Folded == folded) {
            return {slot, true};
        }
    }
}

void FoldedNames::Rehash(std::size_t slotCount) {
    slots_.assign(slotCount, 0);
    const std::size_t mask = slotCount - 1;
    for (std::size_t index = 0; index < names_.size(); ++index) {
        std::size_t slot = names_[index].Hash & mask;
        while (slots_[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        slots_[slot] = SlotOf(names_[index].Hash, index);
    }
}

void FoldedNames::Add(std::string_view folded, std::string_view hostName) {
    if (2 * (names_.size() + 1) > slots_.size()) {
        Rehash(std::max(kFewestSlots, 2 * slots_.size()));
    }
    const std::uint32_t hash = HashOf(folded);
    const Probe probe = Find(folded, hash);
    if (!probe.Found) {
        slots_[probe.Slot] = SlotOf(hash, names_.size());
        names_.push_back({hash, std::string(folded), {std::string(hostName)}});
        return;
    }
    std::vector<std::string>& spellings = names_[IndexOfSlot(slots_[probe.Slot])].Spellings;
    const auto place = std::lower_bound(spellings.begin(), spellings.end(), hostName);
    if (place != spellings.end() && *place == hostName) {
        return;
    }
    if (spellings.empty()) {
        --dead_;
    }
    spellings.emplace(place, hostName);
}

std::size_t FoldedNames::IndexOf(std::string_view folded) const {
    if (names_.empty()) {
        return names_.size();
    }
    const Probe probe = Find(folded, HashOf(folded));
    return probe.Found ? IndexOfSlot(slots_[probe.Slot]) : names_.size();
}

void FoldedNames::Remove(std::string_view folded, std::string_view hostName) {
    const std::size_t index = IndexOf(folded);
    if (index == names_.size()) {
        return;
    }
    std::vector<std::string>& spellings = names_[index].Spellings;
    const auto place = std::lower_bound(spellings.begin(), spellings.end(), hostName);
    if (place == spellings.end() || *place != hostName) {
        return;
    }
    spellings.erase(place);
    if (!spellings.empty()) {
        return;
    }
    ++dead_;
    if (dead_ >= kFewestDeadToRebuild && 2 * dead_ > names_.size()) {
        std::erase_if(names_, [](const Name& name) { return name.Spellings.empty(); });
        dead_ = 0;
        Rehash(std::max(kFewestSlots, std::bit_ceil(2 * names_.size())));
    }
}

const std::string* FoldedNames::First(std::string_view folded) const {
    const std::size_t index = IndexOf(folded);
    if (index == names_.size() || names_[index].Spellings.empty()) {
        return nullptr;
    }
    return &names_[index].Spellings.front();
}

}  // namespace setup::platform::posix
