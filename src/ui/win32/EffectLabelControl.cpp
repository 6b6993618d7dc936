#include "app/EffectLabels.h"
#include "controls/FxLabel.h"
#include "platform/Os.h"
#include "ui/win32/ControlKinds.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

// The effect label: windowless, painted by its container (a panel) on the
// container's surface, with the mouse handed over by the container. The label is
// set up from the model as the simulator sets up its own.
class EffectLabelControl final : public Control, private controls::FxLabelHost {
  public:
    using Control::Control;

  private:
    bool Create(HWND parent, int id, DWORD style) override;
    HWND Hwnd() const override { return nullptr; }
    controls::TFxLabel* FxLabel() override { return label_.get(); }
    void Place(int left, int top, int width, int height) override {
        label_->SetBounds(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
    }
    void Show(bool visible) override;
    void Enable(bool enabled) override { label_->SetEnabled(enabled); }
    void Apply(app::Change change) override {
        if (change == app::Change::Caption) {
            label_->SetCaption(W().caption);
        }
    }
    std::optional<SIZE> NaturalSize() override { return SIZE{label_->Width(), label_->Height()}; }
    void PaintOnSurface(HDC dc) override {
        if (visible_) {
            PaintFxLabel(*label_, dc);
        }
    }
    bool SurfaceMouse(UINT message, POINT point) override;

    // FxLabelHost.
    void Repaint(controls::TFxLabel& label) override;
    void BoundsChanged(controls::TFxLabel& label) override;
    void CursorChanged(controls::TFxLabel& /*label*/) override {
        if (hovering_) {
            ShowCursor();
        }
    }
    void OpenLink(std::string_view target) override {
        platform::CurrentOs().ShellServices().OpenWithShell(target);
    }

    RECT Bounds() const {
        return {label_->Left(), label_->Top(), label_->Left() + label_->Width(),
                label_->Top() + label_->Height()};
    }
    void ShowCursor() const;

    HWND surface_ = nullptr;
    // Measuring outside painting: a context compatible with the screen.
    MemoryDc measuringDc_;
    std::unique_ptr<GdiCanvas> measuring_;
    std::unique_ptr<controls::TFxLabel> label_;
    RECT painted_{0, 0, 0, 0};  // where the label was last asked to be painted
    bool visible_ = false;
    bool hovering_ = false;
};

bool EffectLabelControl::Create(HWND parent, int /*id*/, DWORD style) {
    surface_ = parent;
    visible_ = (style & WS_VISIBLE) != 0;
    measuringDc_ = MemoryDc(CreateCompatibleDC(nullptr));
    if (!measuringDc_) {
        return false;
    }
    measuring_ = std::make_unique<GdiCanvas>(measuringDc_.Get());
    label_ = std::make_unique<controls::TFxLabel>(*measuring_, static_cast<FxLabelHost&>(*this));
    app::ConfigureEffectLabel(*label_, host_.Form().Model(), W(), host_.Res().Dpi());
    return true;
}

void EffectLabelControl::Show(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        Repaint(*label_);
    }
}

// Only the label's rectangle is painted again (the copy page changes the paths
// once per file).
void EffectLabelControl::Repaint(controls::TFxLabel& /*label*/) {
    if (surface_ == nullptr) {
        return;
    }
    // With the windows over the label (an empty logo box paints it too).
    const UINT flags = RDW_INVALIDATE | RDW_ALLCHILDREN;
    const RECT now = Bounds();
    if (!EqualRect(&now, &painted_)) {
        RedrawWindow(surface_, &painted_, nullptr, flags);
        painted_ = now;
    }
    RedrawWindow(surface_, &now, nullptr, flags);
}

void EffectLabelControl::BoundsChanged(controls::TFxLabel& label) {
    Repaint(label);
}

void EffectLabelControl::ShowCursor() const {
    if (label_->Cursor() == controls::kLinkCursor) {
        HCURSOR link = LoadCursorA(GetModuleHandleA(nullptr), controls::kLinkCursorResource);
        SetCursor(link != nullptr ? link
                                  : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
    } else {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
    }
}

bool EffectLabelControl::SurfaceMouse(UINT message, POINT point) {
    const RECT bounds = Bounds();
    const bool inside = visible_ && PtInRect(&bounds, point) != FALSE;
    switch (message) {
        case WM_MOUSEMOVE:
            if (inside && !hovering_) {
                hovering_ = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, surface_, 0};
                TrackMouseEvent(&track);
                label_->MouseEnter();
            } else if (!inside && hovering_) {
                hovering_ = false;
                label_->MouseLeave();
            }
            return inside;
        case WM_MOUSELEAVE:
            if (hovering_) {
                hovering_ = false;
                label_->MouseLeave();
            }
            return false;
        case WM_LBUTTONUP:
            if (inside) {
                label_->Click();
            }
            return inside;
        case WM_SETCURSOR:
            if (inside && label_->Cursor() != controls::crDefault) {
                ShowCursor();
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

std::unique_ptr<Control> MakeEffectLabel(ControlHost& host, std::size_t index) {
    return std::make_unique<EffectLabelControl>(host, index);
}

}  // namespace setup::ui::win32
