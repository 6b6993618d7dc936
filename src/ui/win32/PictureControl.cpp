#include "ui/win32/ControlKinds.h"
#include "ui/win32/Glyphs.h"
#include "ui/win32/OwnWindowControl.h"
#include "ui/win32/Picture.h"

namespace setup::ui::win32 {
namespace {

// Picture box: a loaded picture, else the glyph the model names.
class PictureControl final : public OwnWindowControl {
  public:
    PictureControl(ControlHost& host, std::size_t index)
        : OwnWindowControl(host, index, "SetupPicture") {}

  private:
    void Apply(app::Change change) override;
    void Paint(HDC dc, const RECT& client) override;

    Picture picture_;
};

// Loads the picture file the model names and reports its size; only the logo has
// a file (the page pictures are glyphs).
void PictureControl::Apply(app::Change change) {
    if (change != app::Change::Picture) {
        Control::Apply(change);
        return;
    }
    const app::PictureSource& source = W().picture;
    picture_ = source.loadable && !source.path.empty() ? Picture::Load(source.path) : Picture();
    InvalidateRect(Hwnd(), nullptr, TRUE);
    if (!picture_.Empty()) {
        host_.Form().LogoPictureLoaded(picture_.Size().cx, picture_.Size().cy);
    }
}

void PictureControl::Paint(HDC dc, const RECT& client) {
    FillBackground(dc, client);
    const app::Widget& picture = W();
    if (!picture_.Empty()) {
        picture_.Draw(dc, client, picture.picture, host_.Res().Dpi());
    } else if (picture.picture.path.empty()) {
        DrawGlyph(dc, picture.glyph, client, true);
    }
    host_.PaintWindowlessAbove(index_, dc);  // the title over an empty logo box
}

}  // namespace

std::unique_ptr<Control> MakePicture(ControlHost& host, std::size_t index) {
    return std::make_unique<PictureControl>(host, index);
}

}  // namespace setup::ui::win32
