#include "ui/win32/ButtonDrawing.h"
#include "ui/win32/ControlKinds.h"
#include "ui/win32/GuiHandles.h"
#include "ui/win32/OwnWindowControl.h"

namespace setup::ui::win32 {
namespace {

UINT LabelFormat(const app::Widget& label) {
    UINT format = DT_EXPANDTABS;
    if (label.wordWrap) {
        format |= DT_WORDBREAK;
    }
    if (label.textAlign == app::TextAlign::Center) {
        format |= DT_CENTER;
    } else if (label.textAlign == app::TextAlign::Right) {
        format |= DT_RIGHT;
    }
    return format;
}

// Static text: font, colour, alignment, word wrap; "&" underlines the next letter.
class LabelControl final : public OwnWindowControl {
  public:
    LabelControl(ControlHost& host, std::size_t index)
        : OwnWindowControl(host, index, "SetupLabel") {}

  private:
    std::optional<SIZE> NaturalSize() override;
    void Paint(HDC dc, const RECT& client) override;
};

std::optional<SIZE> LabelControl::NaturalSize() {
    const app::Widget& label = W();
    WindowDc dc(Hwnd());
    Selection useFont(dc.Get(), host_.Res().FontOf(label));
    RECT r{0, 0, 0, 0};
    const std::string& text = label.caption.empty() ? std::string(" ") : label.caption;
    DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              (LabelFormat(label) & ~static_cast<UINT>(DT_WORDBREAK)) | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void LabelControl::Paint(HDC dc, const RECT& client) {
    FillBackground(dc, client);
    const app::Widget& label = W();
    Selection useFont(dc, host_.Res().FontOf(label));
    DrawStateText(dc, label.caption, client, LabelFormat(label), host_.Res().TextColorOf(label),
                  label.enabled);
}

}  // namespace

std::unique_ptr<Control> MakeLabel(ControlHost& host, std::size_t index) {
    return std::make_unique<LabelControl>(host, index);
}

}  // namespace setup::ui::win32
