// The decode tables live in fixed arrays sized by the worst case of each
// alphabet. These tests recompute that worst case by enumerating every
// distribution of code lengths the builder accepts, check the enumeration against
// the builder itself on small alphabets, and build the worst code of each real
// alphabet to see that it fits exactly and decodes every symbol.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "zip/CodeAlphabets.h"
#include "zip/DecodeTables.h"

namespace setup::zip {
namespace {

// Most entries any accepted code can need: symbols, root width, longest length,
// and whether incomplete codes are accepted. Also gives the lengths of one code
// that needs them.
//
// Codes are walked length by length, tracking the codes still free at the current
// length. Codes at most as long as the root fill the root table. Longer codes fill
// the free root slots in canonical order; a slot's sub-table is as wide as the
// length at which its last code ends, so filling slots at length L adds 2^(L-root)
// entries per slot completed there, and a slot left partly filled by an
// incomplete code is as wide as the longest code.
class WorstCase {
  public:
    WorstCase(int symbols, int root, int longest, bool incomplete)
        : symbols_(symbols), root_(root), longest_(longest), incomplete_(incomplete) {
        maxLeft_ = std::max(symbols + (1 << std::max(0, longest - root)), 1 << root);
        memo_.assign(static_cast<std::size_t>((longest + 2) * (maxLeft_ + 1) * (symbols + 1)),
                     kUnknown);
    }

    int Size() { return Best(1, 2, symbols_); }

    std::vector<std::uint8_t> Lengths() {
        std::vector<std::uint8_t> lengths;
        int length = 1;
        int left = 2;
        int symbols = symbols_;
        for (;;) {
            left = Normalised(length, left, symbols);
            const int target = Best(length, left, symbols);
            for (int c = 0; c <= std::min(left, symbols); ++c) {
                const Step step = Take(length, left, c);
                if (step.stop == target) {
                    lengths.insert(lengths.end(), static_cast<std::size_t>(c),
                                   static_cast<std::uint8_t>(length));
                    lengths.resize(static_cast<std::size_t>(symbols_), 0);
                    return lengths;
                }
                if (length < longest_ && step.rest > 0 && step.gain != kNone) {
                    const int next = Best(length + 1, 2 * step.rest, symbols - c);
                    if (next != kNone && step.gain + next == target) {
                        lengths.insert(lengths.end(), static_cast<std::size_t>(c),
                                       static_cast<std::uint8_t>(length));
                        left = 2 * step.rest;
                        symbols -= c;
                        ++length;
                        break;
                    }
                }
            }
        }
    }

  private:
    static constexpr int kNone = -1;
    static constexpr int kUnknown = -2;

    struct Step {
        int gain;  // sub-table entries of the slots completed by this length's codes
        int rest;  // codes still free at this length
        int stop;  // the table size if this length is the longest, or kNone
    };

    int Unit(int length) const { return length > root_ ? 1 << (length - root_) : 0; }

    // Free slots beyond what the remaining symbols can reach do not matter.
    int Normalised(int length, int left, int symbols) const {
        const int unit = Unit(length);
        if (unit != 0 && left > symbols + unit) {
            left -= unit * ((left - symbols - 1) / unit);
        }
        return left;
    }

    Step Take(int length, int left, int c) const {
        const int unit = Unit(length);
        Step step{0, left - c, kNone};
        if (unit != 0) {
            step.gain = unit * ((left + unit - 1) / unit - (left - c + unit - 1) / unit);
        }
        if (c > 0) {
            const int base = 1 << root_;  // the root is as wide as asked, always
            if (step.rest == 0) {
                step.stop = base + step.gain;
            } else if (incomplete_) {
                step.stop = base + step.gain + (unit != 0 && step.rest % unit != 0 ? unit : 0);
            } else if (length == 1 && c == 1) {
                step.stop = base;  // a single code of one bit counts as complete
            }
        }
        return step;
    }

    int Best(int length, int left, int symbols) {
        left = Normalised(length, left, symbols);
        if (!incomplete_ && left > symbols && length > 1) {
            return kNone;  // the free codes can no longer all be used
        }
        int& memo = memo_[static_cast<std::size_t>(
            ((length * (maxLeft_ + 1)) + left) * (symbols_ + 1) + symbols)];
        if (memo != kUnknown) {
            return memo;
        }
        int best = kNone;
        for (int c = 0; c <= std::min(left, symbols); ++c) {
            const Step step = Take(length, left, c);
            best = std::max(best, step.stop);
            if (length < longest_ && step.rest > 0) {
                const int next = Best(length + 1, 2 * step.rest, symbols - c);
                if (next != kNone) {
                    best = std::max(best, step.gain + next);
                }
            }
        }
        return memo = best;
    }

    int symbols_;
    int root_;
    int longest_;
    bool incomplete_;
    int maxLeft_;
    std::vector<int> memo_;
};

bool Accepted(int result, bool incomplete) {
    return result == kTableComplete || (incomplete && result == kTableIncomplete);
}

// Decodes every bit string of the longest length through the table and compares
// it with the canonical code: the right symbol and length, or invalid where no
// code is a prefix.
void ExpectDecodesEveryCode(std::span<const std::uint8_t> lengths, std::span<const HuffEntry> table,
                            std::uint32_t root) {
    const std::uint32_t longest = *std::max_element(lengths.begin(), lengths.end());
    std::vector<int> symbolOf(std::size_t{1} << longest, -1);
    std::uint32_t code = 0;
    for (std::uint32_t length = 1; length <= longest; ++length) {
        for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
            if (lengths[symbol] != length) {
                continue;
            }
            std::uint32_t reversed = 0;
            for (std::uint32_t i = 0; i < length; ++i) {
                reversed |= ((code >> i) & 1) << (length - 1 - i);
            }
            for (std::size_t x = reversed; x < symbolOf.size(); x += std::size_t{1} << length) {
                symbolOf[x] = static_cast<int>(symbol);
            }
            ++code;
        }
        code <<= 1;
    }
    for (std::size_t x = 0; x < symbolOf.size(); ++x) {
        HuffEntry entry = table[x & ((std::size_t{1} << root) - 1)];
        std::uint32_t consumed = 0;
        if (IsLink(entry)) {
            consumed = entry.Bits;
            entry = FollowLink(table.data(), entry, static_cast<std::uint32_t>(x >> root));
        }
        consumed += entry.Bits;
        if (symbolOf[x] < 0) {
            ASSERT_TRUE(IsInvalid(entry)) << "bits " << x;
        } else {
            const auto symbol = static_cast<std::size_t>(symbolOf[x]);
            ASSERT_FALSE(IsInvalid(entry)) << "bits " << x;
            ASSERT_EQ(entry.Value, symbol) << "bits " << x;
            ASSERT_EQ(consumed, lengths[symbol]) << "bits " << x;
        }
    }
}

TEST(TableBound, EnumerationMatchesTheBuilderOnSmallAlphabets) {
    // Every multiset of lengths (only the count per length shapes the table).
    std::vector<HuffEntry> storage(4096);
    for (bool incomplete : {false, true}) {
        for (int symbols = 1; symbols <= 7; ++symbols) {
            for (int longest = 1; longest <= 7; ++longest) {
                for (int root = 1; root <= std::min(longest, 4); ++root) {
                    std::vector<std::uint8_t> lengths(static_cast<std::size_t>(symbols), 0);
                    std::uint32_t largest = 0;
                    for (;;) {
                        // An entry the builder leaves unwritten decodes as this poison,
                        // never as a right symbol or as invalid.
                        std::fill(storage.begin(), storage.end(), HuffEntry{0, kOpLiteral, 0xFFFF});
                        const BuiltTable built = BuildDecodeTablesInto(
                            lengths, static_cast<std::uint32_t>(symbols), nullptr, nullptr,
                            static_cast<std::uint32_t>(root), storage);
                        if (Accepted(built.Result, incomplete)) {
                            largest = std::max(largest, built.Size);
                            ExpectDecodesEveryCode(lengths, storage, built.RootBits);
                        }
                        // Next non-decreasing sequence of lengths 0..longest.
                        std::size_t i = lengths.size();
                        while (i > 0 && lengths[i - 1] == longest) {
                            --i;
                        }
                        if (i == 0) {
                            break;
                        }
                        const auto next = static_cast<std::uint8_t>(lengths[i - 1] + 1);
                        std::fill(lengths.begin() + static_cast<std::ptrdiff_t>(i - 1),
                                  lengths.end(), next);
                    }
                    WorstCase worst(symbols, root, longest, incomplete);
                    ASSERT_EQ(static_cast<int>(largest), worst.Size())
                        << symbols << " symbols, root " << root << ", longest " << longest
                        << (incomplete ? ", incomplete" : "");
                }
            }
        }
    }
}

TEST(TableBound, WorstCodeOfEachAlphabetFillsItsTableExactly) {
    struct Alphabet {
        const char* name;
        std::size_t symbols;
        std::uint32_t root;
        std::uint32_t longest;
        bool incomplete;
        std::size_t capacity;
    };
    const Alphabet alphabets[] = {
        {"deflate literal/length", kLiteralSymbols, kLiteralRootBits, kDeflateLongestCode, false,
         kLiteralTableEntries},
        {"deflate distance", kDistanceSymbols, kDistanceRootBits, kDeflateLongestCode, true,
         kDistanceTableEntries},
        {"implode literal", kImplodeLiteralSymbols, kImplodeLiteralBits, kImplodeLongestCode, false,
         kImplodeLiteralEntries},
        {"implode length", kImplodeTreeSymbols, kImplodeLengthBits, kImplodeLongestCode, false,
         kImplodeTreeEntries},
    };
    for (const Alphabet& a : alphabets) {
        WorstCase worst(static_cast<int>(a.symbols), static_cast<int>(a.root),
                        static_cast<int>(a.longest), a.incomplete);
        EXPECT_EQ(static_cast<std::size_t>(worst.Size()), a.capacity) << a.name;
        const std::vector<std::uint8_t> lengths = worst.Lengths();
        std::vector<HuffEntry> storage(a.capacity);
        const BuiltTable built = BuildDecodeTablesInto(
            lengths, static_cast<std::uint32_t>(a.symbols), nullptr, nullptr, a.root, storage);
        EXPECT_TRUE(Accepted(built.Result, a.incomplete)) << a.name;
        EXPECT_EQ(built.Size, a.capacity) << a.name;
        ExpectDecodesEveryCode(lengths, storage, built.RootBits);
        // One entry less is refused, never overrun.
        storage.pop_back();
        EXPECT_EQ(BuildDecodeTablesInto(lengths, static_cast<std::uint32_t>(a.symbols), nullptr,
                                        nullptr, a.root, storage)
                      .Result,
                  kTableInvalid)
            << a.name;
    }
    // The wider root of a large imploded entry's distance tree needs fewer entries.
    WorstCase largeDistance(static_cast<int>(kImplodeTreeSymbols),
                            static_cast<int>(kImplodeLargeDistanceBits),
                            static_cast<int>(kImplodeLongestCode), false);
    EXPECT_LE(static_cast<std::size_t>(largeDistance.Size()), kImplodeTreeEntries);
}

}  // namespace
}  // namespace setup::zip
