// The data sets of the benchmark. Each is built on the machine that runs it, the
// same way every time, so that all implementations measured in one run see the
// same bytes:
//  - text: the C and C++ headers under /usr/include (files in path order), which
//    every machine that builds this program has;
//  - binary: the ELF programs in /usr/bin (in name order), x86 machine code with
//    its tables and strings;
//  - random: a fixed-seed pseudo-random byte stream, which no coder can shrink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace setup::bench {

std::vector<std::uint8_t> TextCorpus(std::size_t size);
std::vector<std::uint8_t> BinaryCorpus(std::size_t size);
std::vector<std::uint8_t> RandomCorpus(std::size_t size);

// Raw deflate (no zlib header) at `level`, as a ZIP entry of method 8 holds it.
std::vector<std::uint8_t> DeflateRaw(const std::vector<std::uint8_t>& data, int level);

}  // namespace setup::bench
