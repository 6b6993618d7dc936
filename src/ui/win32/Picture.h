// A picture file loaded for a picture box: bitmap (.bmp), icon (.ico), Windows
// metafile with placeable header (.wmf) or enhanced metafile (.emf), chosen by
// the extension. Anything else, or a file that can't be read, gives an empty
// picture and no message.
#pragma once

#include "platform/win32/WinApi.h"

#include <string_view>

#include "app/WidgetModel.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {

class Picture {
  public:
    Picture() = default;
    static Picture Load(std::string_view path);

    bool Empty() const { return !bitmap_ && !icon_ && !metafile_; }
    // The natural size in pixels at 96 DPI (0 by 0 when empty).
    SIZE Size() const { return size_; }

    // Draws into `box` (screen pixels) as the picture box's settings say: stretched
    // to the box, centred in it, or at its top left corner; natural sizes are scaled
    // by `dpi`. A transparent bitmap leaves the colour of its bottom-left pixel out.
    void Draw(HDC dc, const RECT& box, const app::PictureSource& how, int dpi) const;

  private:
    Bitmap bitmap_;
    Icon icon_;
    EnhMetaFile metafile_;
    SIZE size_{0, 0};
};

}  // namespace setup::ui::win32
