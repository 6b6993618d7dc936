// The window classes of our own for the widget kinds that the system's controls
// don't cover: panels, labels, picture boxes and speed buttons; and the drawing of
// the owner-drawn push buttons. Each window shows one element of the widget model
// and reads it afresh on every paint.
#pragma once

#include "platform/win32/WinApi.h"

#include <cstddef>

#include "app/WidgetModel.h"
#include "ui/win32/CustomWindow.h"
#include "ui/win32/Picture.h"
#include "ui/win32/Resources.h"

namespace setup::ui::win32 {

// What the widget windows need from the renderer that owns them.
class WidgetHost {
  public:
    virtual const app::Widget& WidgetAt(std::size_t index) const = 0;
    virtual Resources& Res() = 0;
    // A message that a container received from one of its children (WM_COMMAND,
    // WM_DRAWITEM, WM_CTLCOLOR...); true when the host handled it.
    virtual bool FromChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // A container's size changed: its children are laid out again.
    virtual void ContainerResized(std::size_t index) = 0;

  protected:
    ~WidgetHost() = default;
};

class WidgetWindow : public CustomWindow {
  public:
    WidgetWindow(WidgetHost& host, std::size_t index) : host_(host), index_(index) {}
    bool Create(DWORD exStyle, DWORD style, HWND parent, int id);

  protected:
    virtual const char* ClassName() const = 0;
    const app::Widget& W() const { return host_.WidgetAt(index_); }
    // Fills the client area with the widget's background colour.
    void FillBackground(HDC dc, const RECT& client);

    WidgetHost& host_;
    std::size_t index_;
};

// Container with its colour, border width and bevels; passes its children's
// notifications on to the host.
class PanelWindow final : public WidgetWindow {
  public:
    using WidgetWindow::WidgetWindow;
    // Design pixels between the panel's edge and its children's area.
    static int Inset(const app::Widget& panel);

  private:
    const char* ClassName() const override { return "SetupPanel"; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc);
};

// Static text: font, colour, alignment, word wrap; "&" underlines the next letter.
class LabelWindow final : public WidgetWindow {
  public:
    using WidgetWindow::WidgetWindow;
    // The size of the text in screen pixels, for labels whose size follows it.
    static SIZE TextSize(HDC dc, const app::Widget& label, HFONT font);

  private:
    const char* ClassName() const override { return "SetupLabel"; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Picture box: a loaded picture, else the glyph the model names.
class PictureWindow final : public WidgetWindow {
  public:
    using WidgetWindow::WidgetWindow;
    // Loads the model's picture file (when it names a loadable one); empty otherwise.
    const Picture& Reload();

  private:
    const char* ClassName() const override { return "SetupPicture"; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    Picture picture_;
};

// A button that never takes the keyboard focus; a click reaches the parent as
// WM_COMMAND with BN_CLICKED, as from a push button.
class SpeedButtonWindow final : public WidgetWindow {
  public:
    using WidgetWindow::WidgetWindow;

  private:
    const char* ClassName() const override { return "SetupSpeedButton"; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool MouseInside(LPARAM lParam) const;

    bool tracking_ = false;
    bool pressed_ = false;
};

struct ButtonLook {
    bool pressed = false;
    bool focused = false;
    bool isDefault = false;  // the button Enter would press: a dark frame
    bool showAccelerators = true;
};

// Draws a push button with its glyph and caption (the owner-drawn buttons and
// the speed buttons).
void DrawPushButton(HDC dc, const RECT& bounds, const app::Widget& button, Resources& res,
                    ButtonLook look);

}  // namespace setup::ui::win32
