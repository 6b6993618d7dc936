#include "controls/HlsColor.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace setup::controls {
namespace {

using Triple = std::array<double, 3>;

constexpr double kEpsilon = 1e-8;

// Components of red, green and blue at the start of each sixth of the hue circle,
// on the cube [-1, 1]^3.
constexpr std::array<Triple, 6> kHueCorners = {{
    {+1, -1, -1},
    {+1, +1, -1},
    {-1, +1, -1},
    {-1, +1, +1},
    {-1, -1, +1},
    {+1, -1, +1},
}};

// Channel pairs in the order the inverse tries them.
constexpr std::array<std::array<std::size_t, 2>, 3> kPairs = {{{0, 1}, {1, 2}, {0, 2}}};

void CheckRange(const Triple& values, const char* operation, const char* const (&names)[3]) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (!(values[i] >= 0.0 && values[i] <= 1.0)) {
            throw EColorConv(std::string(operation) + ": 0 <= " + names[i] +
                             " value <= 1 required");
        }
    }
}

double Clamp01(double value) {
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) {
        return below + 1.0;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::uint8_t ToByte(double value) {
    const double rounded = RoundHalfEven(value);
    return static_cast<std::uint8_t>(rounded < 0.0 ? 0.0 : (rounded > 255.0 ? 255.0 : rounded));
}

std::size_t FirstIndexOfMinimum(const Triple& p) {
    std::size_t index = 0;
    for (std::size_t i = 1; i < 3; ++i) {
        if (p[i] < p[index]) {
            index = i;
        }
    }
    return index;
}

// Hue in sixths from the channel that sits at the bottom of the rescaled cube.
double HueSixths(std::size_t lowChannel, const Triple& p) {
    switch (lowChannel) {
        case 0:
            return p[1] > p[2] ? 2.0 + (p[2] + 1.0) / 2.0 : 4.0 - (p[1] + 1.0) / 2.0;
        case 1:
            return p[2] > p[0] ? 4.0 + (p[0] + 1.0) / 2.0 : 6.0 - (p[2] + 1.0) / 2.0;
        default:
            return p[0] > p[1] ? (p[1] + 1.0) / 2.0 : 2.0 - (p[0] + 1.0) / 2.0;
    }
}

}  // namespace

RgbTriple HLS2RGB(const HlsTriple& hls) {
    CheckRange({hls.hue, hls.lightness, hls.saturation}, "HLS2RGB",
               {"Hue", "Luminance", "Saturation"});
    const double sixths = 6.0 * hls.hue;
    const double whole = std::floor(sixths);
    const auto sector = static_cast<std::size_t>(whole) % 6;
    const std::size_t next = (sector + 1) % 6;
    const double fraction = sixths - whole;
    Triple channels{};
    for (std::size_t i = 0; i < 3; ++i) {
        const double from = kHueCorners[sector][i];
        const double q = (from + fraction * (kHueCorners[next][i] - from)) * hls.saturation;
        const double l = hls.lightness;
        channels[i] = Clamp01(l > 0.5 ? l + (1.0 - l) * q : (q + 1.0) * l);
    }
    return {channels[0], channels[1], channels[2]};
}

HlsTriple RGB2HLS(const RgbTriple& rgb) {
    CheckRange({rgb.red, rgb.green, rgb.blue}, "RGB2HLS", {"Red", "Green", "Blue"});
    Triple c{2.0 * rgb.red - 1.0, 2.0 * rgb.green - 1.0, 2.0 * rgb.blue - 1.0};
    std::size_t k = 0;
    for (std::size_t i = 1; i < 3; ++i) {
        if (std::fabs(c[i]) > std::fabs(c[k])) {
            k = i;
        }
    }
    const double m = std::fabs(c[k]);
    if (m < kEpsilon) {
        return {0.0, 0.5, 0.0};
    }
    Triple p{c[0] / m, c[1] / m, c[2] / m};

    // The light half works toward the cube's corner (1, 1, 1), the dark half
    // toward (-1, -1, -1); `sign` is that corner's value.
    const double sign = c[k] > 0.0 ? 1.0 : -1.0;
    double spread = 0.0;
    for (double v : p) {
        spread = std::fmax(spread, sign * (sign - v));
    }
    if (spread < kEpsilon) {
        return {0.0, rgb.red, 0.0};
    }
    for (double& v : p) {
        v = (v - sign) * (2.0 / spread) + sign;
    }
    const std::size_t low = sign > 0.0 ? FirstIndexOfMinimum(p) : k;

    double saturation = 0.0;
    for (const auto& [a, b] : kPairs) {
        if (std::fabs(c[a] - c[b]) > kEpsilon) {
            saturation = sign > 0.0 ? (c[b] - c[a]) / ((c[b] - 1.0) * p[a] - (c[a] - 1.0) * p[b])
                                    : (c[b] - c[a]) / ((c[a] + 1.0) * p[b] - (c[b] + 1.0) * p[a]);
            break;
        }
    }
    double t = c[0] - sign;
    for (const auto& [a, b] : kPairs) {
        if (std::fabs(p[a] - p[b]) > kEpsilon) {
            t = ((c[a] - sign) * p[b] - (c[b] - sign) * p[a]) / (p[b] - p[a]);
            break;
        }
    }
    const double lightness = sign > 0.0 ? t / 2.0 + 1.0 : t / 2.0;
    return {Clamp01(HueSixths(low, p) / 6.0), Clamp01(lightness), Clamp01(saturation)};
}

ShadePair ShadeColors(TColor color, int lightStrength, int darkStrength) {
    const float lightFactor = static_cast<float>((10 - lightStrength) * 0.1);
    const float darkFactor = static_cast<float>((10 - darkStrength) * 0.1);
    const TColor rgb = ColorToRgb(color);
    const std::uint8_t bytes[3] = {RedOf(rgb), GreenOf(rgb), BlueOf(rgb)};

    std::uint8_t light[3];
    for (std::size_t i = 0; i < 3; ++i) {
        light[i] = ToByte(255.0 - RoundHalfEven((256.0 - bytes[i]) * double{lightFactor}));
    }
    HlsTriple hls = RGB2HLS({bytes[0] / 255.0, bytes[1] / 255.0, bytes[2] / 255.0});
    hls.lightness *= double{darkFactor};
    const RgbTriple dark = HLS2RGB(hls);
    return {
        MakeRgb(light[0], light[1], light[2]),
        MakeRgb(ToByte(dark.red * 255.0), ToByte(dark.green * 255.0), ToByte(dark.blue * 255.0))};
}

}  // namespace setup::controls
