// What the main window does that follows from the widget model alone, for any
// renderer: where a container's children go when it is resized, in which order
// siblings are stacked, and which button Enter and Escape press. Elements are
// named by their index in WidgetModel::All().
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "app/WidgetModel.h"

namespace setup::app {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Design pixels (96 DPI) at `dpi`, rounded to the nearest pixel (halves away from
// zero), as the window system's MulDiv rounds.
int ScaleToDpi(int designPixels, int dpi);

// The width of a panel's frame on each side in design pixels: its outer bevel,
// border and inner bevel. Children are laid out inside it.
int PanelInset(const Widget& panel);

// The indices of a container's children, in model order.
std::vector<std::size_t> ChildIndices(const WidgetModel& model, std::size_t container);

struct Placement {
    std::size_t index = 0;  // the child
    Rect bounds;            // in the container's client pixels
    bool operator==(const Placement&) const = default;
};

// The size a renderer measures for the text of an auto-sized label, in its own
// pixels. Without one such labels keep their design size.
using TextMeasure = std::function<Size(const Widget& label)>;

// Places the children of `container`, whose client area is `client` pixels at
// `dpi`. Aligned children take the edges of the area inside the container's
// frame in the order top, bottom, right, and a client-aligned one takes what is
// left (sizes never below zero); the others keep their design place and size. The
// placements come in that order: aligned ones first, then the others in model
// order.
std::vector<Placement> LayOutChildren(const WidgetModel& model, std::size_t container, Size client,
                                      int dpi, const TextMeasure& measure = {});

// A container's children in stacking order, topmost first. Where two overlap,
// the later one of the model lies above (the result labels under the pages, the
// info memo over the folder page); otherwise the model's order stands, which is
// also the order Tab walks. Overlapping elements that both take the focus are
// shown one at a time (the bottom row's buttons), so they keep the model's order.
std::vector<std::size_t> StackingOrder(const WidgetModel& model, std::size_t container);

// The button Enter presses: the focused push button when it is showing and
// enabled, otherwise the first showing, enabled push button of the default kind.
std::optional<std::size_t> DefaultButton(const WidgetModel& model,
                                         std::optional<std::size_t> focused);

// The button Escape presses: the first showing, enabled push button of the cancel
// kind.
std::optional<std::size_t> CancelButton(const WidgetModel& model);

// The index of the focused element of the model, if any.
std::optional<std::size_t> FocusedIndex(const WidgetModel& model);

}  // namespace setup::app
