// Colours between red/green/blue and hue/lightness/saturation (the double
// hexcone), and the lighter and darker shades the effect label's bevels use.
#pragma once

#include "controls/ScreenColor.h"
#include "system/Error.h"

namespace setup::controls {

// Each channel in [0, 1].
struct RgbTriple {
    double red = 0, green = 0, blue = 0;
};

// Each value in [0, 1]; hue runs once round the circle from red (0) over yellow,
// green, cyan, blue and magenta back to red (1).
struct HlsTriple {
    double hue = 0, lightness = 0, saturation = 0;
};

// A channel out of [0, 1] (or not a number); the message names the channel.
class EColorConv : public SetupError {
  public:
    using SetupError::SetupError;
};

RgbTriple HLS2RGB(const HlsTriple& hls);

// The exact inverse of HLS2RGB on the colour cube. Greys (and colours within
// 1e-8 of middle grey) get hue 0 and saturation 0; a red hue comes out as 1.
HlsTriple RGB2HLS(const RgbTriple& rgb);

struct ShadePair {
    TColor light = 0;
    TColor dark = 0;
};

// A lighter and a darker shade of the colour (system colours resolved first). The
// light one moves each channel toward 255 by the factor (10 - lightStrength) / 10,
// the dark one scales the lightness by (10 - darkStrength) / 10. Strengths outside
// 0..10 make the lightness leave its range and raise EColorConv.
ShadePair ShadeColors(TColor color, int lightStrength, int darkStrength);

}  // namespace setup::controls
