// Encoder for ZIP method 6 ("imploded"), for tests only.
//
// The format is LZ77 over a 4 KB or 8 KB dictionary (general purpose flag bit 1)
// with prefix-coded symbols. The data starts with up to three code length tables
// (see ShannonFanoCode.h), byte-aligned: the literal tree (256 symbols, only when
// flag bit 2 is set), the length tree (64) and the distance tree (64). A bit
// stream follows, least significant bit first, with no end marker: the decoder
// stops after the entry's uncompressed size.
//
// Each item starts with one bit. 1: a literal, sent as its literal code or, without
// a literal tree, as 8 plain bits. 0: a match, sent as
//   - the low 6 bits (4 KB) or 7 bits (8 KB) of distance - 1, plain;
//   - the distance code: the remaining high bits, 0 to 63;
//   - the length code: length - minimum, 0 to 63; code 63 is followed by 8 plain
//     bits that are added, so lengths reach minimum + 63 + 255.
// The minimum match is 3 bytes with a literal tree and 2 without (a bare 9-bit
// literal makes 2-byte matches worth having).
//
// The tricky cases:
// - Every symbol needs a code, even unused ones, and each tree must be complete.
// - Codes are sent most significant bit first, and are the complement of the
//   canonical codes (ShannonFanoCode.h).
// - Distances may reach the full dictionary: 4096 (or 8192) is distance code 63
//   with all low bits set.
// - The order inside a match is low distance bits, distance code, length code,
//   extra length byte; it is not the order of deflate.
// - Greedy matching here never reaches before the start of the data; tokens given
//   to EncodeTokens may, which decoders fill with zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace setup::zipenc {

struct ImplodeOptions {
    bool largeDictionary = false;  // flag bit 1: 8 KB dictionary, 7 low distance bits
    bool literalTree = true;       // flag bit 2: coded literals, matches from 3 bytes
    int maxChainSteps = 128;       // hash chain positions tried per match search
};

// The general purpose flag bits (1 and 2) the entry must carry for `options`.
std::uint16_t ImplodeFlags(const ImplodeOptions& options);

// One item of the stream: a literal when length is 0, else a match.
struct ImplodeToken {
    std::uint16_t length = 0;
    std::uint16_t distance = 0;
    std::uint8_t literal = 0;
};

struct ImplodeStats {
    std::size_t literals = 0;
    std::size_t matches = 0;
    std::size_t shortestMatch = 0;  // 0 when there was no match
    std::size_t longestMatch = 0;
    std::size_t longestDistance = 0;
    std::size_t extraLengthMatches = 0;  // matches with length code 63
    int longestLiteralCode = 0;          // code lengths in the trees sent
    int longestLengthCode = 0;
    int longestDistanceCode = 0;
    std::size_t treeBytes = 0;  // bytes of the length tables at the start
};

class ImplodeEncoder {
  public:
    explicit ImplodeEncoder(ImplodeOptions options = {});

    int MinMatch() const { return options_.literalTree ? 3 : 2; }
    int MaxMatch() const { return MinMatch() + 63 + 255; }
    int MaxDistance() const { return options_.largeDictionary ? 8192 : 4096; }

    // The method 6 data for `input` (greedy matching through hash chains).
    std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> input);
    // The greedy parse Encode uses.
    std::vector<ImplodeToken> Tokenize(std::span<const std::uint8_t> input) const;
    // The method 6 data for a given parse. Lengths must lie in MinMatch..MaxMatch
    // and distances in 1..MaxDistance; distances are not checked against the
    // output produced so far. Throws std::invalid_argument otherwise.
    std::vector<std::uint8_t> EncodeTokens(std::span<const ImplodeToken> tokens);
    // Counters of the last Encode or EncodeTokens call.
    const ImplodeStats& Stats() const { return stats_; }

  private:
    ImplodeOptions options_;
    ImplodeStats stats_;
};

// Convenience: ImplodeEncoder(options).Encode(input).
std::vector<std::uint8_t> Implode(std::span<const std::uint8_t> input, ImplodeOptions options = {});

}  // namespace setup::zipenc
