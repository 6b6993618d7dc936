// The elements of the main window: every element of its design with place, size,
// font, colours, captions and start state, as the widget model holds it.
#pragma once

#include "app/WidgetModel.h"

namespace setup::app {

// Design size of the window: the client area, and the outer size with the frame
// of an ordinary resizable window at 96 DPI.
inline constexpr int kFormClientWidth = 435;
inline constexpr int kFormClientHeight = 297;
inline constexpr int kFormOuterWidth = 443;
inline constexpr int kFormOuterHeight = 324;

// Fills an empty model with the main window "MainForm" and all its elements.
void BuildMainWindow(WidgetModel& model);

}  // namespace setup::app
