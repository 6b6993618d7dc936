// The host names of one folder, found by their folded Windows-1252 spelling.
//
// A remembered folder listing is asked mostly for names it does not hold (is there
// another spelling of the file about to be created?), and when an extraction
// spreads its files over many folders, each question goes to a listing that has
// left the processor's caches. A node-based hash map paid several cache misses and
// a division per question there. So this table is open addressing over one array
// of slots, each holding a name's 32-bit hash and its index among the names: a name
// that is not there costs a look at the slots, usually one cache line, and a string
// comparison only when all 32 bits of hash agree. The slots are a power of two, at
// most half full, probed linearly.
//
// Several host names can fold to one spelling ("a" and "A" on a case-sensitive
// host); each folded name keeps its host spellings sorted, and the first answers.
// A name whose last spelling is removed keeps its place with none until the dead
// outnumber the living; then the table is built again from the living.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup::platform::posix {

class FoldedNames {
  public:
    // Adds `hostName` as a spelling of `folded`; nothing when it is one already.
    void Add(std::string_view folded, std::string_view hostName);
    // Removes `hostName` as a spelling of `folded`, if it is one.
    void Remove(std::string_view folded, std::string_view hostName);
    // The first host spelling of `folded` in sorted order; null when there is none.
    const std::string* First(std::string_view folded) const;

  private:
    struct Name {
        std::uint32_t Hash = 0;
        std::string Folded;
        std::vector<std::string> Spellings;  // sorted; empty once removed
    };
    struct Probe {
        std::size_t Slot;
        bool Found;
    };

    static std::uint32_t HashOf(std::string_view folded);
    Probe Find(std::string_view folded, std::uint32_t hash) const;
    // The index of `folded` among the names, or the number of names when it has none.
    std::size_t IndexOf(std::string_view folded) const;
    // Lays the slots out anew for the names kept, `slotCount` of them.
    void Rehash(std::size_t slotCount);

    // 0 for an empty slot, else the hash in the high half and the index into
    // names_ plus one in the low half.
    std::vector<std::uint64_t> slots_;
    std::vector<Name> names_;
    std::size_t dead_ = 0;
};

}  // namespace setup::platform::posix
