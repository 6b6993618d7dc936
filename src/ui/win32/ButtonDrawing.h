// Drawing of the owner-drawn push buttons and the speed buttons, and of text in
// the look of an enabled or disabled element.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>

#include "app/WidgetModel.h"
#include "ui/win32/Resources.h"

namespace setup::ui::win32 {

struct ButtonLook {
    bool pressed = false;
    bool focused = false;
    bool isDefault = false;  // the button Enter would press: a dark frame
    bool showAccelerators = true;
};

// Draws a push button with its glyph and caption.
void DrawPushButton(HDC dc, const RECT& bounds, const app::Widget& button, Resources& res,
                    ButtonLook look);

// Text in the colour of an enabled element, or embossed grey for a disabled one.
void DrawStateText(HDC dc, const std::string& text, RECT r, UINT format, COLORREF color,
                   bool enabled);

}  // namespace setup::ui::win32
