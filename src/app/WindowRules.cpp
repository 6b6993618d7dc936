#include "app/WindowRules.h"

#include <algorithm>
#include <cstdint>

namespace setup::app {
namespace {

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool IsLabel(const Widget& w) {
    return w.kind == WidgetKind::Label || w.kind == WidgetKind::EffectLabel;
}

// The first showing, enabled push button of this role.
std::optional<std::size_t> FirstButton(const WidgetModel& model, ButtonRole role) {
    const auto& all = model.All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == WidgetKind::Button && all[i].role == role && all[i].enabled &&
            model.IsShowing(all[i].name)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

int ScaleToDpi(int designPixels, int dpi) {
    const std::int64_t product = std::int64_t{designPixels} * dpi;
    const std::int64_t rounded = product >= 0 ? (product + 48) / 96 : (product - 48) / 96;
    return static_cast<int>(rounded);
}

int PanelInset(const Widget& panel) {
    return (panel.bevelOuter != Bevel::None ? 1 : 0) + panel.borderWidth +
           (panel.bevelInner != Bevel::None ? 1 : 0);
}

std::vector<std::size_t> ChildIndices(const WidgetModel& model, std::size_t container) {
    const auto& all = model.All();
    std::vector<std::size_t> children;
    if (container >= all.size()) {
        return children;
    }
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (all[i].parent == all[container].name) {
            children.push_back(i);
        }
    }
    return children;
}

std::vector<Placement> LayOutChildren(const WidgetModel& model, std::size_t container, Size client,
                                      int dpi, const TextMeasure& measure) {
    const auto& all = model.All();
    const std::vector<std::size_t> children = ChildIndices(model, container);
    const int inset =
        all[container].kind == WidgetKind::Form ? 0 : ScaleToDpi(PanelInset(all[container]), dpi);
    int left = inset;
    int top = inset;
    int right = client.width - inset;
    int bottom = client.height - inset;

    std::vector<Placement> placed;
    placed.reserve(children.size());
    auto place = [&](std::size_t index, int x, int y, int width, int height) {
        placed.push_back({index, {x, y, std::max(width, 0), std::max(height, 0)}});
    };
    for (Align align : {Align::Top, Align::Bottom, Align::Right, Align::Client}) {
        for (std::size_t index : children) {
            const Widget& w = all[index];
            if (w.align != align) {
                continue;
            }
            const int width = ScaleToDpi(w.bounds.width, dpi);
            const int height = ScaleToDpi(w.bounds.height, dpi);
            switch (align) {
                case Align::Top:
                    place(index, left, top, right - left, height);
                    top += height;
                    break;
                case Align::Bottom:
                    place(index, left, bottom - height, right - left, height);
                    bottom -= height;
                    break;
                case Align::Right:
                    place(index, right - width, top, width, bottom - top);
                    right -= width;
                    break;
                default:
                    place(index, left, top, right - left, bottom - top);
                    break;
            }
        }
    }
    for (std::size_t index : children) {
        const Widget& w = all[index];
        if (w.align != Align::None) {
            continue;
        }
        Size size{ScaleToDpi(w.bounds.width, dpi), ScaleToDpi(w.bounds.height, dpi)};
        if (w.autoSize && IsLabel(w) && measure) {
            size = measure(w);
        }
        place(index, ScaleToDpi(w.bounds.left, dpi), ScaleToDpi(w.bounds.top, dpi), size.width,
              size.height);
    }
    return placed;
}

std::vector<std::size_t> StackingOrder(const WidgetModel& model, std::size_t container) {
    const std::vector<std::size_t> kids = ChildIndices(model, container);
    const auto& all = model.All();
    auto mustBeBelow = [&](std::size_t earlier, std::size_t later) {
        const Widget& a = all[kids[earlier]];
        const Widget& b = all[kids[later]];
        return !(a.focusable && b.focusable) && Overlap(a.bounds, b.bounds);
    };
    // Each round takes the first child that no later one still unplaced must cover.
    std::vector<bool> placed(kids.size(), false);
    std::vector<std::size_t> order;
    order.reserve(kids.size());
    for (std::size_t round = 0; round < kids.size(); ++round) {
        for (std::size_t k = 0; k < kids.size(); ++k) {
            bool ready = !placed[k];
            for (std::size_t later = k + 1; ready && later < kids.size(); ++later) {
                ready = placed[later] || !mustBeBelow(k, later);
            }
            if (ready) {
                placed[k] = true;
                order.push_back(kids[k]);
                break;
            }
        }
    }
    return order;
}

std::optional<std::size_t> DefaultButton(const WidgetModel& model,
                                         std::optional<std::size_t> focused) {
    const auto& all = model.All();
    if (focused && *focused < all.size()) {
        const Widget& w = all[*focused];
        if (w.kind == WidgetKind::Button && w.enabled && model.IsShowing(w.name)) {
            return focused;
        }
    }
    return FirstButton(model, ButtonRole::Default);
}

std::optional<std::size_t> CancelButton(const WidgetModel& model) {
    return FirstButton(model, ButtonRole::Cancel);
}

std::optional<std::size_t> FocusedIndex(const WidgetModel& model) {
    const Widget* w = model.Focused().empty() ? nullptr : model.Find(model.Focused());
    if (w == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(w - model.All().data());
}

}  // namespace setup::app
