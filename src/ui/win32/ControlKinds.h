// The makers of the control classes, one per widget kind (each in its own file),
// and the table that MakeControl picks from.
#pragma once

#include <cstddef>
#include <memory>

#include "ui/win32/Control.h"

namespace setup::ui::win32 {

using ControlMaker = std::unique_ptr<Control> (*)(ControlHost& host, std::size_t index);

std::unique_ptr<Control> MakePanel(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakeLabel(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakeEffectLabel(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakePushButton(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakeSpeedButton(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakeEdit(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakeMemo(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakeListBox(ControlHost& host, std::size_t index);
std::unique_ptr<Control> MakePicture(ControlHost& host, std::size_t index);

}  // namespace setup::ui::win32
