// Screen colours as the effect label stores them: 0x00BBGGRR, or a system colour
// (high bit set, the system's colour index in the low byte) that is looked up
// through the seam when it is used.
#pragma once

#include <cstdint>

namespace setup::controls {

using TColor = std::uint32_t;

inline constexpr TColor kSystemColorBit = 0x80000000;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowFrame = 0x80000006;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clBtnHighlight = 0x80000014;

constexpr bool IsSystemColor(TColor color) {
    return (color & kSystemColorBit) != 0;
}

constexpr TColor MakeRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<TColor>(red) | static_cast<TColor>(green) << 8 |
           static_cast<TColor>(blue) << 16;
}
constexpr std::uint8_t RedOf(TColor color) {
    return static_cast<std::uint8_t>(color & 0xFF);
}
constexpr std::uint8_t GreenOf(TColor color) {
    return static_cast<std::uint8_t>(color >> 8 & 0xFF);
}
constexpr std::uint8_t BlueOf(TColor color) {
    return static_cast<std::uint8_t>(color >> 16 & 0xFF);
}

// The colour as red, green and blue: a system colour becomes the system's current
// colour for its index (through the current operating system), others lose
// nothing but the unused top byte.
TColor ColorToRgb(TColor color);

}  // namespace setup::controls
