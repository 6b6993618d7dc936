#include "app/WidgetModel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Os.h"
#include "system/PathHelpers.h"

namespace setup::app {
namespace {

bool Contains(const Rect& outer, const Rect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top &&
           outer.left + outer.width >= inner.left + inner.width &&
           outer.top + outer.height >= inner.top + inner.height;
}

// List items sort as the system's sorted list box has them: in the user's
// locale with letter case ignored.
bool SortsBefore(std::string_view a, std::string_view b) {
    return platform::CurrentOs().System().CompareText(a, b) < 0;
}

}  // namespace

Widget& WidgetModel::Add(Widget widget) {
    widgets_.push_back(std::move(widget));
    return widgets_.back();
}

const Widget* WidgetModel::Find(std::string_view name) const {
    auto it = std::find_if(widgets_.begin(), widgets_.end(),
                           [name](const Widget& w) { return w.name == name; });
    return it == widgets_.end() ? nullptr : &*it;
}

const Widget& WidgetModel::Get(std::string_view name) const {
    if (const Widget* w = Find(name)) {
        return *w;
    }
    // Plain writes: a printf would link the formatting engine into Setup.exe.
    std::fputs("no widget named ", stderr);
    std::fwrite(name.data(), 1, name.size(), stderr);
    std::fputc('\n', stderr);
    std::abort();
}

Widget& WidgetModel::Mutable(std::string_view name) {
    return const_cast<Widget&>(Get(name));
}

std::vector<const Widget*> WidgetModel::ChildrenOf(std::string_view name) const {
    std::vector<const Widget*> children;
    for (const Widget& w : widgets_) {
        if (w.parent == name && !w.name.empty()) {
            children.push_back(&w);
        }
    }
    return children;
}

bool WidgetModel::IsShowing(std::string_view name) const {
    for (const Widget* w = &Get(name); w != nullptr;
         w = w->parent.empty() ? nullptr : &Get(w->parent)) {
        if (!w->visible) {
            return false;
        }
    }
    return true;
}

bool WidgetModel::IsOnScreen(std::string_view name) const {
    if (!IsShowing(name)) {
        return false;
    }
    // Walk up the parent chain; at each level a later visible sibling that covers
    // the element (or its ancestor) hides it.
    for (const Widget* w = &Get(name); !w->parent.empty(); w = &Get(w->parent)) {
        bool later = false;
        for (const Widget& sibling : widgets_) {
            if (&sibling == w) {
                later = true;
                continue;
            }
            if (later && sibling.parent == w->parent && sibling.visible &&
                sibling.kind != WidgetKind::Form && Contains(sibling.bounds, w->bounds)) {
                return false;
            }
        }
    }
    return true;
}

void WidgetModel::Notify(const Widget& widget, Change change) const {
    if (listener_) {
        listener_(widget, change);
    }
}

void WidgetModel::SetCaption(std::string_view name, std::string_view text) {
    Widget& w = Mutable(name);
    if (w.caption != text) {
        w.caption = std::string(text);
        Notify(w, Change::Caption);
    }
}

void WidgetModel::SetVisible(std::string_view name, bool visible) {
    Widget& w = Mutable(name);
    if (w.visible != visible) {
        w.visible = visible;
        Notify(w, Change::Visible);
        KeepFocusUsable();
    }
}

void WidgetModel::SetEnabled(std::string_view name, bool enabled) {
    Widget& w = Mutable(name);
    if (w.enabled != enabled) {
        w.enabled = enabled;
        Notify(w, Change::Enabled);
        KeepFocusUsable();
    }
}

void WidgetModel::SetBounds(std::string_view name, Rect bounds) {
    Widget& w = Mutable(name);
    if (w.bounds != bounds) {
        w.bounds = bounds;
        Notify(w, Change::Bounds);
    }
}

void WidgetModel::SetPicture(std::string_view name, PictureSource picture) {
    Widget& w = Mutable(name);
    if (w.picture != picture) {
        w.picture = std::move(picture);
        Notify(w, Change::Picture);
    }
}

void WidgetModel::ClearItems(std::string_view list) {
    Widget& w = Mutable(list);
    if (!w.items.empty()) {
        w.items.clear();
        Notify(w, Change::Items);
    }
}

std::size_t WidgetModel::AddItem(std::string_view list, std::string_view text) {
    Widget& w = Mutable(list);
    auto at = std::upper_bound(
        w.items.begin(), w.items.end(), text,
        [](std::string_view t, const ListItem& item) { return SortsBefore(t, item.text); });
    auto index = static_cast<std::size_t>(at - w.items.begin());
    w.items.insert(at, ListItem{std::string(text), false});
    Notify(w, Change::Items);
    return index;
}

void WidgetModel::DeleteItem(std::string_view list, std::size_t index) {
    Widget& w = Mutable(list);
    if (index < w.items.size()) {
        w.items.erase(w.items.begin() + static_cast<std::ptrdiff_t>(index));
        Notify(w, Change::Items);
    }
}

void WidgetModel::SetSelected(std::string_view list, std::size_t index, bool selected) {
    Widget& w = Mutable(list);
    if (index < w.items.size() && w.items[index].selected != selected) {
        w.items[index].selected = selected;
        Notify(w, Change::Selection);
    }
}

void WidgetModel::SetFocus(std::string_view name) {
    const Widget& w = Get(name);
    if (focused_ != name) {
        focused_ = std::string(name);
        Notify(w, Change::Focus);
    }
}

bool WidgetModel::TakesFocus(const Widget& widget) const {
    return widget.focusable && widget.enabled && IsShowing(widget.name);
}

void WidgetModel::KeepFocusUsable() {
    const Widget* focused = focused_.empty() ? nullptr : Find(focused_);
    if (focused == nullptr || TakesFocus(*focused)) {
        return;
    }
    const auto at = static_cast<std::size_t>(focused - widgets_.data());
    for (std::size_t step = 1; step < widgets_.size(); ++step) {
        const Widget& next = widgets_[(at + step) % widgets_.size()];
        if (TakesFocus(next)) {
            focused_ = next.name;
            Notify(next, Change::Focus);
            return;
        }
    }
    focused_.clear();
}

void WidgetModel::SetAppTitle(std::string_view title) {
    if (appTitle_ != title) {
        appTitle_ = std::string(title);
        if (!widgets_.empty()) {
            Notify(widgets_.front(), Change::AppTitle);
        }
    }
}

void WidgetModel::SetBusyCursor(bool busy) {
    if (busy_ != busy) {
        busy_ = busy;
        if (!widgets_.empty()) {
            Notify(widgets_.front(), Change::BusyCursor);
        }
    }
}

}  // namespace setup::app
