#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/HlsColor.h"
#include "support/EmulatedWindows.h"

namespace setup::controls {
namespace {

// The textbook double-hexcone formulas, as an independent reference.
HlsTriple TextbookHls(double r, double g, double b) {
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double l = (high + low) / 2;
    const double range = high - low;
    if (range == 0) {
        return {0, l, 0};
    }
    const double s = l <= 0.5 ? range / (high + low) : range / (2 - high - low);
    double h =
        high == r ? (g - b) / range : (high == g ? 2 + (b - r) / range : 4 + (r - g) / range);
    h /= 6;
    return {h <= 0 ? h + 1 : h, l, s};  // red hues come out as 1
}

TEST(HlsColor, ExamplesAndTheFixedChoicesForGreysAndRed) {
    struct Case {
        RgbTriple rgb;
        HlsTriple hls;
    };
    const Case cases[] = {
        {{0.5, 0.5, 0.5}, {0, 0.5, 0}},   {{0.7, 0.7, 0.7}, {0, 0.7, 0}},
        {{0, 0, 0}, {0, 0, 0}},           {{1, 1, 1}, {0, 1, 0}},
        {{1, 0, 0}, {1, 0.5, 1}},         {{0, 1, 0}, {1.0 / 3, 0.5, 1}},
        {{0, 0, 1}, {2.0 / 3, 0.5, 1}},   {{0.25, 0.5, 0.75}, {7.0 / 12, 0.5, 0.5}},
        {{0.6, 0.2, 0.2}, {1, 0.4, 0.5}}, {{0.5, 0.5 + 5e-9, 0.5}, {0, 0.5, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rgb.red << "/" << c.rgb.green << "/" << c.rgb.blue);
        const HlsTriple hls = RGB2HLS(c.rgb);
        EXPECT_NEAR(hls.hue, c.hls.hue, 1e-12);
        EXPECT_NEAR(hls.lightness, c.hls.lightness, 1e-12);
        EXPECT_NEAR(hls.saturation, c.hls.saturation, 1e-12);
    }
    // Hue 0 and 1 are both red; at lightness 0.5 both formulas agree.
    const RgbTriple at0 = HLS2RGB({0, 0.5, 1});
    const RgbTriple at1 = HLS2RGB({1, 0.5, 1});
    EXPECT_EQ(at0.red, at1.red);
    EXPECT_EQ(at0.green, at1.green);
    EXPECT_EQ(at0.blue, at1.blue);
}

TEST(HlsColor, RoundTripsAndMatchesTheTextbookOverAGrid) {
    constexpr int kSteps = 12;
    for (int ri = 0; ri <= kSteps; ++ri) {
        for (int gi = 0; gi <= kSteps; ++gi) {
            for (int bi = 0; bi <= kSteps; ++bi) {
                const RgbTriple rgb{double(ri) / kSteps, double(gi) / kSteps, double(bi) / kSteps};
                SCOPED_TRACE(::testing::Message() << ri << "/" << gi << "/" << bi);
                const HlsTriple hls = RGB2HLS(rgb);
                const HlsTriple expected = TextbookHls(rgb.red, rgb.green, rgb.blue);
                EXPECT_NEAR(hls.hue, expected.hue, 1e-9);
                EXPECT_NEAR(hls.lightness, expected.lightness, 1e-9);
                EXPECT_NEAR(hls.saturation, expected.saturation, 1e-9);
                const RgbTriple back = HLS2RGB(hls);
                EXPECT_NEAR(back.red, rgb.red, 1e-9);
                EXPECT_NEAR(back.green, rgb.green, 1e-9);
                EXPECT_NEAR(back.blue, rgb.blue, 1e-9);
            }
        }
    }
}

TEST(HlsColor, OutOfRangeChannelsAreNamedInTheMessage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        bool toRgb;
        double a, b, c;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {true, 1.0000001, 0.5, 0.5, "HLS2RGB: 0 <= Hue value <= 1 required"},
        {true, 0.5, -0.0000001, 0.5, "HLS2RGB: 0 <= Luminance value <= 1 required"},
        {true, 0.5, 0.5, 1.0000001, "HLS2RGB: 0 <= Saturation value <= 1 required"},
        {true, 0.5, 2, nan, "HLS2RGB: 0 <= Luminance value <= 1 required"},
        {false, -0.0000001, 2, 2, "RGB2HLS: 0 <= Red value <= 1 required"},
        {false, 0, 1.0000001, 0, "RGB2HLS: 0 <= Green value <= 1 required"},
        {false, 1, 0, -0.0000001, "RGB2HLS: 0 <= Blue value <= 1 required"},
        {false, 0, 0, nan, "RGB2HLS: 0 <= Blue value <= 1 required"},
        {true, 0, 1, 1, ""},
        {false, 1, 0, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            c.toRgb ? (void)HLS2RGB({c.a, c.b, c.c}) : (void)RGB2HLS({c.a, c.b, c.c});
            EXPECT_STREQ("", c.message);
        } catch (const EColorConv& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(HlsColor, ShadesRoundHalvesToEvenAndResolveSystemColours) {
    testing::EmulatedWindows windows;  // button face is silver in the classic scheme
    struct Case {
        TColor color;
        int light, dark;
        TColor expectedLight, expectedDark;
    };
    const Case cases[] = {
        {MakeRgb(192, 192, 192), 5, 4, MakeRgb(223, 223, 223), MakeRgb(115, 115, 115)},
        {MakeRgb(255, 0, 0), 5, 4, MakeRgb(255, 127, 127), MakeRgb(153, 0, 0)},
        {clBlack, 5, 4, MakeRgb(127, 127, 127), clBlack},
        {clWhite, 5, 4, clWhite, MakeRgb(153, 153, 153)},
        {clBtnFace, 5, 4, MakeRgb(223, 223, 223), MakeRgb(115, 115, 115)},
        // (256 - x) / 2 lands on halves: 0.5, 1.5 and 2.5 go to 0, 2 and 2.
        {MakeRgb(255, 253, 251), 5, 10, MakeRgb(255, 253, 253), clBlack},
        // A light strength of 0 would give -1 for a black channel: kept at 0.
        {clBlack, 0, 4, clBlack, clBlack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.color);
        const ShadePair shades = ShadeColors(c.color, c.light, c.dark);
        EXPECT_EQ(shades.light, c.expectedLight);
        EXPECT_EQ(shades.dark, c.expectedDark);
    }
    EXPECT_THROW(ShadeColors(clSilver, 5, 11), EColorConv);
}

}  // namespace
}  // namespace setup::controls
