#include "support/zipenc/DeflateWriter.h"

namespace setup::zipenc {
namespace {

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

}  // namespace

void DeflateWriter::BlockHeader(bool final, int type) {
    bits.Put(final ? 1 : 0, 1);
    bits.Put(static_cast<std::uint32_t>(type), 2);
}

void DeflateWriter::FixedSymbol(int value) {
    const auto symbol = static_cast<std::uint32_t>(value);  // 0 to 287
    if (symbol < 144) {
        bits.PutCodeMsbFirst(0x30 + symbol, 8);
    } else if (symbol < 256) {
        bits.PutCodeMsbFirst(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        bits.PutCodeMsbFirst(symbol - 256, 7);
    } else {
        bits.PutCodeMsbFirst(0xC0 + symbol - 280, 8);
    }
}

void DeflateWriter::FixedMatch(int length, int distance) {
    int code = 28;
    while (kLengthBase[code] > length) {
        --code;
    }
    FixedSymbol(257 + code);
    bits.Put(static_cast<std::uint32_t>(length - kLengthBase[code]), kLengthExtra[code]);
    int dcode = 29;
    while (kDistanceBase[dcode] > distance) {
        --dcode;
    }
    bits.PutCodeMsbFirst(static_cast<std::uint32_t>(dcode), 5);
    bits.Put(static_cast<std::uint32_t>(distance - kDistanceBase[dcode]), kDistanceExtra[dcode]);
}

void DeflateWriter::Stored(bool final, std::uint16_t length, std::uint16_t complement,
                           const std::string& data) {
    BlockHeader(final, 0);
    while (bits.BitCount() % 8 != 0) {
        bits.Put(0, 1);
    }
    bits.Put(length, 16);
    bits.Put(complement, 16);
    for (char c : data) {
        bits.Put(static_cast<std::uint8_t>(c), 8);
    }
}

void DeflateWriter::DynamicHeader(bool final, int literalCount, int distanceCount,
                                  const std::vector<std::pair<int, int>>& script) {
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    BlockHeader(final, 2);
    bits.Put(static_cast<std::uint32_t>(literalCount - 257), 5);
    bits.Put(static_cast<std::uint32_t>(distanceCount - 1), 5);
    bits.Put(15, 4);
    for (int symbol : order) {
        bits.Put(symbol <= 12 ? 4 : 5, 3);
    }
    for (auto [symbol, extra] : script) {
        if (symbol <= 12) {
            bits.PutCodeMsbFirst(static_cast<std::uint32_t>(symbol), 4);
        } else {
            bits.PutCodeMsbFirst(static_cast<std::uint32_t>(26 + symbol - 13), 5);
        }
        if (symbol == 16) {
            bits.Put(static_cast<std::uint32_t>(extra), 2);
        } else if (symbol == 17) {
            bits.Put(static_cast<std::uint32_t>(extra), 3);
        } else if (symbol == 18) {
            bits.Put(static_cast<std::uint32_t>(extra), 7);
        }
    }
}

std::vector<std::pair<int, int>> CodeLengthScript(const std::vector<int>& lengths) {
    std::vector<std::pair<int, int>> script;
    for (std::size_t i = 0; i < lengths.size();) {
        std::size_t run = 0;
        while (i + run < lengths.size() && lengths[i + run] == 0 && run < 138) {
            ++run;
        }
        if (run >= 11) {
            script.emplace_back(18, static_cast<int>(run - 11));
            i += run;
        } else {
            script.emplace_back(lengths[i], 0);
            ++i;
        }
    }
    return script;
}

std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths) {
    std::vector<std::uint32_t> count(16, 0);
    for (int length : lengths) {
        ++count[static_cast<std::size_t>(length)];
    }
    count[0] = 0;
    std::vector<std::uint32_t> next(16, 0);
    for (std::size_t bits = 1; bits < 16; ++bits) {
        next[bits] = (next[bits - 1] + count[bits - 1]) << 1;
    }
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        if (lengths[symbol] != 0) {
            codes[symbol] = next[static_cast<std::size_t>(lengths[symbol])]++;
        }
    }
    return codes;
}

}  // namespace setup::zipenc
