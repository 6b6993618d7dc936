#include "ui/win32/ControlKinds.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

// The one-line text field: what the user types goes to the form.
class EditControl final : public Control {
  public:
    using Control::Control;

  private:
    bool Create(HWND parent, int id, DWORD style) override {
        window_ = Window(CreateSystemControl("EDIT", WS_EX_CLIENTEDGE, style | ES_AUTOHSCROLL,
                                             parent, id, W().caption, host_.Res().FontOf(W())));
        return window_.Valid();
    }
    HWND Hwnd() const override { return window_.Get(); }
    void Apply(app::Change change) override {
        // The model's echo of what the user typed is already in the field.
        if (change == app::Change::Caption && WindowText(Hwnd()) != W().caption) {
            syncing_ = true;
            SetWindowTextA(Hwnd(), W().caption.c_str());
            syncing_ = false;
        }
    }
    void Command(int code) override {
        if (code == EN_CHANGE && !syncing_) {
            const std::string name = W().name;
            host_.Form().UserEditedText(name, WindowText(Hwnd()));
        }
    }

    Window window_;
    bool syncing_ = false;
};

}  // namespace

std::unique_ptr<Control> MakeEdit(ControlHost& host, std::size_t index) {
    return std::make_unique<EditControl>(host, index);
}

}  // namespace setup::ui::win32
