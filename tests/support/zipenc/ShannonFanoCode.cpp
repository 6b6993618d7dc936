#include "support/zipenc/ShannonFanoCode.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <stdexcept>
#include <utility>

namespace setup::zipenc {
namespace {

// Depth of every leaf of a Huffman tree over `weights` (all at least 1).
std::vector<int> HuffmanDepths(const std::vector<std::uint64_t>& weights) {
    const std::size_t n = weights.size();
    // Nodes 0..n-1 are leaves, later ones inner nodes; parent links give depths.
    std::vector<std::size_t> parent(2 * n - 1, 0);
    using Item = std::pair<std::uint64_t, std::size_t>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    for (std::size_t i = 0; i < n; ++i) {
        queue.emplace(weights[i], i);
    }
    std::size_t next = n;
    while (queue.size() > 1) {
        const auto [weightA, a] = queue.top();
        queue.pop();
        const auto [weightB, b] = queue.top();
        queue.pop();
        parent[a] = next;
        parent[b] = next;
        queue.emplace(weightA + weightB, next++);
    }
    const std::size_t root = next - 1;
    std::vector<int> nodeDepth(2 * n - 1, 0);
    for (std::size_t node = root; node-- > 0;) {
        nodeDepth[node] = nodeDepth[parent[node]] + 1;
    }
    return {nodeDepth.begin(), nodeDepth.begin() + static_cast<std::ptrdiff_t>(n)};
}

}  // namespace

std::vector<std::uint8_t> ShannonFanoLengths(std::span<const std::uint32_t> frequencies,
                                             int maxLength) {
    if (frequencies.size() < 2 || maxLength < 1 || maxLength > 16 ||
        frequencies.size() > (std::size_t{1} << maxLength)) {
        throw std::invalid_argument("ShannonFanoLengths: impossible code");
    }
    // Unused symbols still need a code, so every weight is at least 1. When the tree
    // gets too deep, flattening the weights until it fits is crude but always ends:
    // equal weights give a balanced tree.
    std::vector<std::uint64_t> weights(frequencies.begin(), frequencies.end());
    for (auto& w : weights) {
        w = std::max<std::uint64_t>(w, 1);
    }
    for (;;) {
        const std::vector<int> depths = HuffmanDepths(weights);
        if (*std::max_element(depths.begin(), depths.end()) <= maxLength) {
            return {depths.begin(), depths.end()};
        }
        for (auto& w : weights) {
            w = w / 2 + 1;
        }
    }
}

std::vector<std::uint16_t> ShannonFanoCodes(std::span<const std::uint8_t> lengths) {
    // Canonical codes first (shortest lengths get the smallest values).
    int countOfLength[17] = {};
    for (std::uint8_t length : lengths) {
        if (length < 1 || length > 16) {
            throw std::invalid_argument("ShannonFanoCodes: length outside 1 to 16");
        }
        ++countOfLength[length];
    }
    std::uint32_t nextCode[17] = {};
    std::uint32_t code = 0;
    for (int length = 1; length <= 16; ++length) {
        code = (code + static_cast<std::uint32_t>(countOfLength[length - 1])) << 1;
        nextCode[length] = code;
    }
    // A complete code uses up the whole space: the last canonical code of the
    // longest length is all ones.
    std::uint64_t space = 0;
    for (int length = 1; length <= 16; ++length) {
        space += static_cast<std::uint64_t>(countOfLength[length]) << (16 - length);
    }
    if (space != (std::uint64_t{1} << 16)) {
        throw std::invalid_argument("ShannonFanoCodes: lengths do not form a complete code");
    }
    std::vector<std::uint16_t> codes(lengths.size());
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        const int length = lengths[symbol];
        const std::uint32_t canonical = nextCode[length]++;
        codes[symbol] = static_cast<std::uint16_t>(~canonical & ((1u << length) - 1));
    }
    return codes;
}

std::vector<std::uint8_t> PackCodeLengths(std::span<const std::uint8_t> lengths) {
    std::vector<std::uint8_t> runs;
    for (std::size_t i = 0; i < lengths.size();) {
        std::size_t run = 1;
        while (run < 16 && i + run < lengths.size() && lengths[i + run] == lengths[i]) {
            ++run;
        }
        runs.push_back(static_cast<std::uint8_t>((run - 1) << 4 | (lengths[i] - 1)));
        i += run;
    }
    if (runs.empty() || runs.size() > 256) {
        throw std::invalid_argument("PackCodeLengths: table needs 1 to 256 runs");
    }
    std::vector<std::uint8_t> packed;
    packed.push_back(static_cast<std::uint8_t>(runs.size() - 1));
    packed.insert(packed.end(), runs.begin(), runs.end());
    return packed;
}

}  // namespace setup::zipenc
