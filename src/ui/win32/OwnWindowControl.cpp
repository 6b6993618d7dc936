#include "ui/win32/OwnWindowControl.h"

namespace setup::ui::win32 {

bool OwnWindowControl::Create(HWND parent, int id, DWORD style) {
    if (!RegisterCustomClass(className_, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr, nullptr)) {
        return false;
    }
    const RECT none{0, 0, 0, 0};
    return CreateCustom(className_, exStyle_, style | extraStyle_, none, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), W().caption.c_str());
}

void OwnWindowControl::FillBackground(HDC dc, const RECT& client) {
    FillRect(dc, &client, host_.Res().BrushOf(host_.Res().BackgroundOf(W())));
}

}  // namespace setup::ui::win32
