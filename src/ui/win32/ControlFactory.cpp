#include "ui/win32/ControlKinds.h"

namespace setup::ui::win32 {
namespace {

using app::WidgetKind;

struct KindEntry {
    WidgetKind kind;
    ControlMaker make;
};

constexpr KindEntry kKinds[] = {
    {WidgetKind::Panel, MakePanel},
    {WidgetKind::Label, MakeLabel},
    {WidgetKind::EffectLabel, MakeEffectLabel},
    {WidgetKind::Button, MakePushButton},
    {WidgetKind::SpeedButton, MakeSpeedButton},
    {WidgetKind::Edit, MakeEdit},
    {WidgetKind::Memo, MakeMemo},
    {WidgetKind::ListBox, MakeListBox},
    {WidgetKind::Picture, MakePicture},
};

}  // namespace

std::unique_ptr<Control> MakeControl(WidgetKind kind, ControlHost& host, std::size_t index) {
    for (const KindEntry& entry : kKinds) {
        if (entry.kind == kind) {
            return entry.make(host, index);
        }
    }
    return nullptr;
}

}  // namespace setup::ui::win32
