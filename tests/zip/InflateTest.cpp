// Inflate on hand-made streams: each case aims at one rule of the format that a
// decoder can get wrong (block framing, code construction, copies across the
// window, the end of the input).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/DecoderHarness.h"
#include "support/zipenc/DeflateWriter.h"

namespace setup::zip {
namespace {

using testing::DecodeFromMemory;
using zipenc::CanonicalCodes;
using zipenc::CodeLengthScript;
using zipenc::DeflateWriter;

// Literal/length lengths with 'a' and end-of-block one bit each, then distances.
std::vector<int> TwoSymbolLengths(const std::vector<int>& distances) {
    std::vector<int> lengths(257, 0);
    lengths['a'] = 1;
    lengths[256] = 1;
    lengths.insert(lengths.end(), distances.begin(), distances.end());
    return lengths;
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

struct Case {
    const char* name;
    std::function<void(DeflateWriter&)> write;
    std::int32_t code;
    std::string output;  // checked when code is 0
};

TEST(Inflate, HandMadeStreams) {
    const Case cases[] = {
        {"empty stored block", [](DeflateWriter& w) { w.Stored(true, 0, 0xFFFF, ""); }, 0, ""},
        {"stored blocks",
         [](DeflateWriter& w) {
             w.Stored(false, 3, 0xFFFC, "abc");
             w.Stored(true, 2, 0xFFFD, "de");
         },
         0, "abcde"},
        {"stored length check", [](DeflateWriter& w) { w.Stored(true, 3, 0xFFFD, "abc"); }, -4, ""},
        {"block type 3",
         [](DeflateWriter& w) {
             w.BlockHeader(true, 3);
             w.bits.Put(0, 16);
         },
         -4, ""},
        {"fixed literals and a match",
         [](DeflateWriter& w) {
             w.BlockHeader(true, 1);
             for (char c : std::string("abc"))
                 w.FixedSymbol(c);
             w.FixedMatch(6, 3);
             w.FixedSymbol(256);
         },
         0, "abcabcabc"},
        {"distance before the start copies zeros",
         [](DeflateWriter& w) {
             w.BlockHeader(true, 1);
             w.FixedSymbol('x');
             w.FixedMatch(3, 4);
             w.FixedSymbol(256);
         },
         0, std::string("x\0\0\0", 4)},
        {"match reaches into an earlier block",
         [](DeflateWriter& w) {
             w.Stored(false, 4, 0xFFFB, "wxyz");
             w.BlockHeader(true, 1);
             w.FixedMatch(5, 4);
             w.FixedSymbol(256);
         },
         0, "wxyzwxyzw"},
        {"length symbol 286",
         [](DeflateWriter& w) {
             w.BlockHeader(true, 1);
             w.FixedSymbol(286);
             w.bits.Put(0, 16);
         },
         -4, ""},
        {"distance symbol 30",
         [](DeflateWriter& w) {
             w.BlockHeader(true, 1);
             w.FixedSymbol('a');
             w.FixedSymbol(257);
             w.bits.PutCodeMsbFirst(30, 5);
             w.bits.Put(0, 16);
         },
         -4, ""},
        {"ends before the final block",
         [](DeflateWriter& w) {
             w.BlockHeader(false, 1);
             w.FixedSymbol('a');
             w.FixedSymbol(256);
         },
         -3, ""},
        {"ends inside a block",
         [](DeflateWriter& w) {
             w.BlockHeader(true, 1);
             for (int i = 0; i < 20; ++i)
                 w.FixedSymbol('a' + i);
         },
         -3, ""},
        {"dynamic, one distance code of one bit",
         [](DeflateWriter& w) {
             w.DynamicHeader(true, 257, 1, CodeLengthScript(TwoSymbolLengths({1})));
             w.bits.Put(0, 1);  // 'a'
             w.bits.Put(0, 1);  // 'a'
             w.bits.Put(1, 1);  // end of block
         },
         0, "aa"},
        {"dynamic, first symbol 16 repeats zero",
         [](DeflateWriter& w) {
             auto script = CodeLengthScript(TwoSymbolLengths({1}));
             // The 97 zeros before 'a': three by repeating the "previous" length, then 94.
             script.erase(script.begin());
             script.insert(script.begin(), {{16, 0}, {18, 'a' - 3 - 11}});
             w.DynamicHeader(true, 257, 1, script);
             w.bits.Put(0, 1);
             w.bits.Put(1, 1);
         },
         0, "a"},
        {"dynamic, incomplete distance code",
         [](DeflateWriter& w) {
             w.DynamicHeader(true, 257, 2, CodeLengthScript(TwoSymbolLengths({2, 2})));
             w.bits.Put(0, 1);
             w.bits.Put(1, 1);
         },
         0, "a"},
        {"dynamic, incomplete distance code of 15-bit codes only, matches through it",
         [](DeflateWriter& w) {
             std::vector<int> lengths(258, 0);
             lengths['a'] = lengths['b'] = lengths[256] = lengths[257] = 2;
             lengths.insert(lengths.end(), {15, 15});  // distances 1 and 2
             w.DynamicHeader(true, 258, 2, CodeLengthScript(lengths));
             w.bits.PutCodeMsbFirst(0, 2);   // 'a'
             w.bits.PutCodeMsbFirst(1, 2);   // 'b'
             w.bits.PutCodeMsbFirst(3, 2);   // length 3
             w.bits.PutCodeMsbFirst(1, 15);  // distance 2
             w.bits.PutCodeMsbFirst(3, 2);   // length 3
             w.bits.PutCodeMsbFirst(0, 15);  // distance 1
             w.bits.PutCodeMsbFirst(2, 2);   // end of block
         },
         0, "ababaaaa"},
        {"dynamic, incomplete literal code",
         [](DeflateWriter& w) {
             auto lengths = TwoSymbolLengths({1});
             lengths[256] = 2;
             w.DynamicHeader(true, 257, 1, CodeLengthScript(lengths));
         },
         -4, ""},
        {"dynamic, over-subscribed literal code",
         [](DeflateWriter& w) {
             auto lengths = TwoSymbolLengths({1});
             lengths['b'] = 1;
             w.DynamicHeader(true, 257, 1, CodeLengthScript(lengths));
         },
         -4, ""},
        {"dynamic, repeat 16 past the end",
         [](DeflateWriter& w) {
             auto script = CodeLengthScript(TwoSymbolLengths({}));
             script.emplace_back(1, 0);
             script.emplace_back(16, 3);  // six more lengths where there is room for none
             w.DynamicHeader(true, 257, 2, script);
         },
         1, ""},
        {"dynamic, repeat 18 past the end",
         [](DeflateWriter& w) {
             auto script = CodeLengthScript(TwoSymbolLengths({}));
             script.emplace_back(18, 0);
             w.DynamicHeader(true, 257, 2, script);
         },
         -4, ""},
    };
    for (const Case& c : cases) {
        DeflateWriter writer;
        c.write(writer);
        const auto data = writer.Finish();
        const auto result = DecodeFromMemory(InflateEntry, data);
        EXPECT_EQ(result.code, c.code) << c.name;
        if (c.code == 0) {
            EXPECT_EQ(Text(result.output), c.output) << c.name;
        }
    }
}

TEST(Inflate, LongRunCrossesTheWindowAndFlushesWholeBlocks) {
    DeflateWriter writer;
    writer.BlockHeader(true, 1);
    writer.FixedSymbol('q');
    for (int i = 0; i < 300; ++i) {
        writer.FixedMatch(258, 1);
    }
    writer.FixedMatch(100, 32768);  // reaches back exactly one window
    writer.FixedSymbol(256);
    const auto data = writer.Finish();
    const auto result = DecodeFromMemory(InflateEntry, data);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.output.size(), 1u + 300 * 258 + 100);
    EXPECT_EQ(Text(result.output), std::string(result.output.size(), 'q'));
}

TEST(Inflate, MatchesOfEveryShortDistanceAndLength) {
    // Matches are copied in pieces: periods below 8 start byte by byte, longer ones
    // go word by word. Every distance up to 40 with lengths around the piece sizes,
    // each after a literal that shifts the alignment, against a byte-wise copy.
    DeflateWriter writer;
    writer.BlockHeader(true, 1);
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        expected += static_cast<char>('!' + i);
        writer.FixedSymbol('!' + i);
    }
    for (int distance = 1; distance <= 40; ++distance) {
        for (int length : {3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33, 100, 258}) {
            writer.FixedMatch(length, distance);
            for (int k = 0; k < length; ++k) {
                expected += expected[expected.size() - static_cast<std::size_t>(distance)];
            }
            const char literal = static_cast<char>('a' + (distance + length) % 26);
            writer.FixedSymbol(literal);
            expected += literal;
        }
    }
    writer.FixedSymbol(256);
    const auto data = writer.Finish();
    const auto result = DecodeFromMemory(InflateEntry, data);
    ASSERT_EQ(result.code, 0);
    EXPECT_TRUE(Text(result.output) == expected);
}

TEST(Inflate, LongestCodesWithAllTheirExtraBitsAtEveryBitOffset) {
    // The longest pair there is, a 15-bit length code with 5 extra bits and a
    // 15-bit distance code with 13 extra bits (48 bits), after 0 to 31 literals of
    // 2 bits, so that it starts at every offset of the bit buffer; and a literal
    // of 15 bits, decoded through a sub-table, between them.
    std::vector<int> lengths(286, 0);
    lengths['a'] = 1;
    lengths['b'] = 2;
    for (int i = 0; i < 11; ++i) {
        lengths[static_cast<std::size_t>('c' + i)] = 3 + i;  // 'c'..'m': 3 to 13 bits
    }
    lengths[256] = 14;
    lengths['z'] = 15;
    lengths[284] = 15;  // lengths 227 to 257: base 227 and 5 extra bits
    std::vector<int> distanceLengths(30, 0);
    for (int i = 0; i < 14; ++i) {
        distanceLengths[static_cast<std::size_t>(i)] = i + 1;
    }
    distanceLengths[14] = 15;
    distanceLengths[29] = 15;  // distances 24577 to 32768: 13 extra bits
    const auto codes = CanonicalCodes(lengths);
    const auto distanceCodes = CanonicalCodes(distanceLengths);

    std::vector<int> all = lengths;
    all.insert(all.end(), distanceLengths.begin(), distanceLengths.end());
    DeflateWriter writer;
    writer.DynamicHeader(true, 286, 30, CodeLengthScript(all));
    std::string expected;
    const auto literal = [&](char c) {
        const auto symbol = static_cast<std::size_t>(static_cast<unsigned char>(c));
        writer.bits.PutCodeMsbFirst(codes[symbol], lengths[symbol]);
        expected += c;
    };
    const auto match = [&](int length, int distance) {
        writer.bits.PutCodeMsbFirst(codes[284], 15);
        writer.bits.Put(static_cast<std::uint32_t>(length - 227), 5);
        writer.bits.PutCodeMsbFirst(distanceCodes[29], 15);
        writer.bits.Put(static_cast<std::uint32_t>(distance - 24577), 13);
        for (int k = 0; k < length; ++k) {
            expected += expected[expected.size() - static_cast<std::size_t>(distance)];
        }
    };
    // History of 32 KB that differs everywhere, so that a wrong distance shows.
    for (int i = 0; expected.size() < 32768; ++i) {
        literal(static_cast<char>('c' + i % 11));
        if (i % 7 == 0) {
            literal('z');
        }
    }
    for (int offset = 0; offset < 32; ++offset) {
        for (int k = 0; k < offset; ++k) {
            literal('b');
        }
        match(227 + offset, 32768 - 97 * offset);
        literal('z');
        match(257, 24577 + offset);
    }
    writer.bits.PutCodeMsbFirst(codes[256], 14);
    const auto data = writer.Finish();
    const auto result = DecodeFromMemory(InflateEntry, data);
    ASSERT_EQ(result.code, 0);
    EXPECT_TRUE(Text(result.output) == expected);
}

TEST(Inflate, AbortAndFailedWritesStopTheDecoder) {
    DeflateWriter writer;
    writer.BlockHeader(true, 1);
    writer.FixedSymbol('q');
    for (int i = 0; i < 1000; ++i) {
        writer.FixedMatch(258, 1);
    }
    writer.FixedSymbol(256);
    const auto data = writer.Finish();

    MemoryFile archive(data);
    MemoryFile target({}, 1000);  // the first 32 KB write fails
    ExtractState state;
    state.Archive = &archive;
    state.Target = &target;
    state.BeginEntry(static_cast<std::int32_t>(data.size()), 0, 0);
    EXPECT_EQ(InflateEntry(state), -2);

    MemoryFile archive2(data);
    ExtractState aborted;
    aborted.Archive = &archive2;
    aborted.BeginEntry(static_cast<std::int32_t>(data.size()), 0, 0);
    aborted.AbortRequested = true;
    EXPECT_EQ(InflateEntry(aborted), -5);
}

}  // namespace
}  // namespace setup::zip
