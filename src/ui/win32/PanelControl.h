// The panel: a container with its colour, border width and bevels.
#pragma once

#include "app/WidgetModel.h"

namespace setup::ui::win32 {

// Design pixels between the panel's edge and its children's area.
int PanelInset(const app::Widget& panel);

}  // namespace setup::ui::win32
