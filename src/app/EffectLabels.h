// How an effect label of the main window is set up from its element of the widget
// model: one place for both renderers, so that the window and the simulator draw
// the same label (preset, font, colours, alignment, size rule).
#pragma once

#include "app/WidgetModel.h"
#include "controls/FxLabel.h"

namespace setup::app {

// A colour of the model as the label stores it; Inherit gives `inherited`.
controls::TColor LabelColor(Color color, controls::TColor inherited);

// Sets the label's properties from the element, as loading a form does (between
// BeginLoading and EndLoading). Sizes are design pixels scaled to `dpi`; an empty
// font face is the nearest parent's.
void ConfigureEffectLabel(controls::TFxLabel& label, const WidgetModel& model, const Widget& widget,
                          int dpi = 96);

}  // namespace setup::app
