// Shortening a file path for display: folders are replaced from the front by
// "...", then the drive goes, until the text fits.
#pragma once

#include <string>
#include <string_view>

#include "controls/Canvas.h"

namespace setup::controls {

// The path as wide as `maxWidth` at most, measured with the canvas's font:
// "C:\Programme\Firma\datei.txt" becomes "C:\...\Firma\datei.txt", "C:\...\datei.txt",
// "...\datei.txt" and "datei.txt", the first that fits. The bare name is returned
// even when it does not fit.
std::string ShortenPath(std::string_view path, int maxWidth, Canvas& canvas);

}  // namespace setup::controls
