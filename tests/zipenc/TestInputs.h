// Deterministic inputs for the encoder round trips, each chosen for what it
// exercises: nothing at all, a single code, no repeats, endless repeats, tables
// that fill up, matches at the edges of the format's ranges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace setup::zipenc::testing {

using Bytes = std::vector<std::uint8_t>;

struct NamedInput {
    std::string name;  // also the entry name in the test archives
    Bytes data;
};

Bytes TextBytes(const std::string& text);
// Uniformly random bytes (fixed seed): nothing to match.
Bytes RandomBytes(std::size_t size, std::uint32_t seed);
// German-looking text with numbers, interleaved with binary records and random
// blocks: fills shrink tables many times over and gives skewed literal trees.
Bytes MixedTextAndBinary(std::size_t size);
// Random 7-bit bytes with each of the values 128 to 255 appearing once: few
// matches and very uneven literal frequencies, so literal codes get long.
Bytes RareHighBytes(std::size_t size);
// Runs of one byte with lengths around the longest implode match, and a long one.
Bytes LongRuns();
// `size` random bytes followed by their first 300 bytes again: a match at exactly
// the distance `size`.
Bytes RepeatAtDistance(std::size_t size);

// The inputs every encoder must round-trip.
std::vector<NamedInput> StandardInputs();

}  // namespace setup::zipenc::testing
