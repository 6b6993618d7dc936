// The pictures of buttons and pages, drawn with GDI at any size: arrows, check
// marks, a folder and the like, in colour or greyed for a disabled button.
#pragma once

#include "platform/win32/WinApi.h"

#include "app/WidgetModel.h"

namespace setup::ui::win32 {

// Draws the glyph into the largest square centred in `box`; Glyph::None draws nothing.
void DrawGlyph(HDC dc, app::Glyph glyph, const RECT& box, bool enabled);

}  // namespace setup::ui::win32
