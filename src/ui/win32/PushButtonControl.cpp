#include "ui/win32/ButtonDrawing.h"
#include "ui/win32/ControlKinds.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

// An owner-drawn system push button with the glyph and caption of the model.
class PushButtonControl final : public Control {
  public:
    using Control::Control;

  private:
    bool Create(HWND parent, int id, DWORD style) override {
        window_ = Window(CreateSystemControl("BUTTON", 0, style | BS_OWNERDRAW | BS_NOTIFY, parent,
                                             id, W().caption, host_.Res().FontOf(W())));
        return window_.Valid();
    }
    HWND Hwnd() const override { return window_.Get(); }
    void Command(int code) override {
        // The second click of a quick double click arrives as BN_DOUBLECLICKED.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
            Clicked();
        } else if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
            host_.RepaintButtons();  // the default button's frame follows the focus
        }
    }
    bool DrawItem(const DRAWITEMSTRUCT& item) override {
        if (item.CtlType != ODT_BUTTON) {
            return false;
        }
        ButtonLook look;
        look.pressed = (item.itemState & ODS_SELECTED) != 0;
        look.focused = (item.itemState & ODS_FOCUS) != 0;
        look.showAccelerators = (item.itemState & ODS_NOACCEL) == 0;
        look.isDefault = host_.IsDefaultButton(index_);
        DrawPushButton(item.hDC, item.rcItem, W(), host_.Res(), look);
        return true;
    }
    void FocusMoved() override { InvalidateRect(Hwnd(), nullptr, FALSE); }

    Window window_;
};

}  // namespace

std::unique_ptr<Control> MakePushButton(ControlHost& host, std::size_t index) {
    return std::make_unique<PushButtonControl>(host, index);
}

}  // namespace setup::ui::win32
