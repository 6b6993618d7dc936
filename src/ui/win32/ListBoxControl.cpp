#include "ui/win32/ControlKinds.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

// The sorted multi-select list: the model keeps the items in order; the list
// shows them in that order, so that the indexes of both agree.
class ListBoxControl final : public Control {
  public:
    using Control::Control;

  private:
    bool Create(HWND parent, int id, DWORD style) override {
        window_ = Window(CreateSystemControl(
            "LISTBOX", WS_EX_CLIENTEDGE,
            style | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, parent, id,
            "", host_.Res().FontOf(W())));
        if (!window_) {
            return false;
        }
        SendMessageA(Hwnd(), LB_SETITEMHEIGHT, 0, host_.Res().Scale(W().itemHeight));
        SyncItems();
        return true;
    }
    HWND Hwnd() const override { return window_.Get(); }
    void Apply(app::Change change) override {
        if (change == app::Change::Items) {
            SyncItems();
        } else if (change == app::Change::Selection && !syncing_) {
            SyncSelection();  // not the echo of the user's own selection
        } else {
            Control::Apply(change);
        }
    }
    void Command(int code) override {
        if (code == LBN_SELCHANGE) {
            CopySelection();
        }
    }
    void SyncItems();
    void SyncSelection();
    void CopySelection();

    Window window_;
    bool syncing_ = false;
};

void ListBoxControl::SyncItems() {
    HWND list = Hwnd();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const auto& item : W().items) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
    }
    SyncSelection();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void ListBoxControl::SyncSelection() {
    const auto& items = W().items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool shown = SendMessageA(Hwnd(), LB_GETSEL, i, 0) > 0;
        if (shown != items[i].selected) {
            SendMessageA(Hwnd(), LB_SETSEL, items[i].selected ? TRUE : FALSE,
                         static_cast<LPARAM>(i));
        }
    }
}

void ListBoxControl::CopySelection() {
    const std::string name = W().name;
    syncing_ = true;
    for (std::size_t i = 0; i < W().items.size(); ++i) {
        const bool shown = SendMessageA(Hwnd(), LB_GETSEL, i, 0) > 0;
        if (shown != W().items[i].selected) {
            host_.Form().UserSelected(name, i, shown);
        }
    }
    syncing_ = false;
}

}  // namespace

std::unique_ptr<Control> MakeListBox(ControlHost& host, std::size_t index) {
    return std::make_unique<ListBoxControl>(host, index);
}

}  // namespace setup::ui::win32
