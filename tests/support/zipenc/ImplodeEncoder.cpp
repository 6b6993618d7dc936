#include "support/zipenc/ImplodeEncoder.h"

#include <algorithm>
#include <stdexcept>

#include "support/zipenc/BitWriter.h"
#include "support/zipenc/ShannonFanoCode.h"

namespace setup::zipenc {
namespace {

constexpr int kExtraLengthCode = 63;

// One prefix code: lengths and codes per symbol.
struct Tree {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint16_t> codes;

    explicit Tree(std::span<const std::uint32_t> frequencies)
        : lengths(ShannonFanoLengths(frequencies)), codes(ShannonFanoCodes(lengths)) {}

    void Put(BitWriter& out, std::size_t symbol) const {
        out.PutCodeMsbFirst(codes[symbol], lengths[symbol]);
    }
    int Longest() const { return *std::max_element(lengths.begin(), lengths.end()); }
};

}  // namespace

std::uint16_t ImplodeFlags(const ImplodeOptions& options) {
    return static_cast<std::uint16_t>((options.largeDictionary ? 2 : 0) |
                                      (options.literalTree ? 4 : 0));
}

ImplodeEncoder::ImplodeEncoder(ImplodeOptions options) : options_(options) {}

std::vector<ImplodeToken> ImplodeEncoder::Tokenize(std::span<const std::uint8_t> input) const {
    // Chains link every position to the previous one with the same two leading
    // bytes; two bytes is the shortest match there can be.
    const std::size_t n = input.size();
    const std::size_t minMatch = static_cast<std::size_t>(MinMatch());
    const std::size_t maxMatch = static_cast<std::size_t>(MaxMatch());
    const std::size_t maxDistance = static_cast<std::size_t>(MaxDistance());
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> head(1u << 16, kNone);
    std::vector<std::size_t> previous(n, kNone);
    auto insert = [&](std::size_t pos) {
        if (pos + 1 < n) {
            const std::size_t key = static_cast<std::size_t>(input[pos]) << 8 | input[pos + 1];
            previous[pos] = head[key];
            head[key] = pos;
        }
    };

    std::vector<ImplodeToken> tokens;
    for (std::size_t pos = 0; pos < n;) {
        std::size_t bestLength = 0;
        std::size_t bestDistance = 0;
        if (pos + 1 < n) {
            const std::size_t limit = std::min(maxMatch, n - pos);
            const std::size_t key = static_cast<std::size_t>(input[pos]) << 8 | input[pos + 1];
            std::size_t candidate = head[key];
            for (int steps = 0; candidate != kNone && pos - candidate <= maxDistance &&
                                steps < options_.maxChainSteps;
                 ++steps, candidate = previous[candidate]) {
                std::size_t length = 0;
                while (length < limit && input[candidate + length] == input[pos + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = pos - candidate;
                    if (length == limit) {
                        break;
                    }
                }
            }
        }
        if (bestLength >= minMatch) {
            tokens.push_back({static_cast<std::uint16_t>(bestLength),
                              static_cast<std::uint16_t>(bestDistance), 0});
            for (std::size_t i = 0; i < bestLength; ++i) {
                insert(pos + i);
            }
            pos += bestLength;
        } else {
            tokens.push_back({0, 0, input[pos]});
            insert(pos);
            ++pos;
        }
    }
    return tokens;
}

std::vector<std::uint8_t> ImplodeEncoder::EncodeTokens(std::span<const ImplodeToken> tokens) {
    stats_ = {};
    const int lowBits = options_.largeDictionary ? 7 : 6;
    const int minMatch = MinMatch();

    std::vector<std::uint32_t> literalCount(256, 0);
    std::vector<std::uint32_t> lengthCount(64, 0);
    std::vector<std::uint32_t> distanceCount(64, 0);
    for (const ImplodeToken& t : tokens) {
        if (t.length == 0) {
            ++literalCount[t.literal];
            continue;
        }
        if (t.length < minMatch || t.length > MaxMatch() || t.distance < 1 ||
            t.distance > MaxDistance()) {
            throw std::invalid_argument("ImplodeEncoder: match outside the format's ranges");
        }
        // Both are non-negative after the range check above.
        ++lengthCount[static_cast<std::size_t>(std::min(t.length - minMatch, kExtraLengthCode))];
        ++distanceCount[static_cast<std::size_t>((t.distance - 1) >> lowBits)];
    }

    BitWriter out;
    const Tree literals(literalCount);
    const Tree lengths(lengthCount);
    const Tree distances(distanceCount);
    auto putTable = [&](const Tree& tree) {
        for (std::uint8_t byte : PackCodeLengths(tree.lengths)) {
            out.PutAlignedByte(byte);
            ++stats_.treeBytes;
        }
    };
    if (options_.literalTree) {
        putTable(literals);
        stats_.longestLiteralCode = literals.Longest();
    }
    putTable(lengths);
    putTable(distances);
    stats_.longestLengthCode = lengths.Longest();
    stats_.longestDistanceCode = distances.Longest();

    for (const ImplodeToken& t : tokens) {
        if (t.length == 0) {
            out.Put(1, 1);
            if (options_.literalTree) {
                literals.Put(out, t.literal);
            } else {
                out.Put(t.literal, 8);
            }
            ++stats_.literals;
            continue;
        }
        out.Put(0, 1);
        const std::uint32_t distance = t.distance - 1u;
        out.Put(distance & ((1u << lowBits) - 1), lowBits);
        distances.Put(out, distance >> lowBits);
        const int lengthCode = std::min(t.length - minMatch, kExtraLengthCode);
        lengths.Put(out, static_cast<std::size_t>(lengthCode));
        if (lengthCode == kExtraLengthCode) {
            out.Put(static_cast<std::uint32_t>(t.length - minMatch - kExtraLengthCode), 8);
            ++stats_.extraLengthMatches;
        }
        ++stats_.matches;
        stats_.shortestMatch = stats_.shortestMatch == 0
                                   ? t.length
                                   : std::min<std::size_t>(stats_.shortestMatch, t.length);
        stats_.longestMatch = std::max<std::size_t>(stats_.longestMatch, t.length);
        stats_.longestDistance = std::max<std::size_t>(stats_.longestDistance, t.distance);
    }
    return std::move(out).Finish();
}

std::vector<std::uint8_t> ImplodeEncoder::Encode(std::span<const std::uint8_t> input) {
    const std::vector<ImplodeToken> tokens = Tokenize(input);
    return EncodeTokens(tokens);
}

std::vector<std::uint8_t> Implode(std::span<const std::uint8_t> input, ImplodeOptions options) {
    return ImplodeEncoder(options).Encode(input);
}

}  // namespace setup::zipenc
