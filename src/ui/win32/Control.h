// One element of the widget model on the screen. Each widget kind has a class of
// its own (made by MakeControl from the kind's table); the main window creates
// them, hands them the model's changes, and reflects what their windows send to
// the parent (WM_COMMAND, WM_DRAWITEM, WM_CTLCOLOR*) back to their objects.
// A windowless control has no window of its own: it paints on its container's
// surface and gets the mouse from it.
#pragma once

#include "platform/win32/WinApi.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/MainForm.h"
#include "app/WidgetModel.h"
#include "controls/FxLabel.h"
#include "ui/win32/Resources.h"

namespace setup::ui::win32 {

class Control;

// What the controls need from the window that owns them.
class ControlHost {
  public:
    virtual const app::Widget& WidgetAt(std::size_t index) const = 0;
    virtual Resources& Res() = 0;
    virtual app::TMainForm& Form() = 0;
    // Any message of a container: what its children send it (WM_COMMAND,
    // WM_DRAWITEM, WM_CTLCOLOR...) goes to the child's control; true when used.
    virtual bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // A container's size changed: its children are laid out again.
    virtual void ContainerResized(std::size_t index) = 0;
    // The push button Enter presses now.
    virtual bool IsDefaultButton(std::size_t index) const = 0;
    // The default button's frame follows the focus: the buttons are drawn again.
    virtual void RepaintButtons() = 0;
    // The windowless controls that paint on a container's surface.
    virtual std::span<Control* const> WindowlessIn(std::size_t container) const = 0;
    // Paints, on the context of an element's own window, the windowless siblings
    // that lie above it (later in the model): its window would hide them.
    virtual void PaintWindowlessAbove(std::size_t index, HDC dc) = 0;

  protected:
    ~ControlHost() = default;
};

class Control {
  public:
    Control(ControlHost& host, std::size_t index) : host_(host), index_(index) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Creates the control in `parent` with the control id and the window styles
    // that follow from the model (visibility, enabling, tab stop).
    virtual bool Create(HWND parent, int id, DWORD style) = 0;
    // Its window; null for a windowless control.
    virtual HWND Hwnd() const = 0;
    // Moves it to a place in the parent's client area (screen pixels).
    virtual void Place(int left, int top, int width, int height);
    virtual void Show(bool visible);
    virtual void Enable(bool enabled);
    // The element's caption, items, selection or picture changed in the model
    // (by default the caption becomes the window's text).
    virtual void Apply(app::Change change);
    // A notification of its window (WM_COMMAND).
    virtual void Command(int /*code*/) {}
    // An owner-drawn item of its window; true when drawn.
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // WM_CTLCOLOR* for its window: the element's own colours, when it has any.
    virtual bool Colors(HDC dc, LRESULT& brush);
    // The size of the content for elements whose size follows it (AutoSize).
    virtual std::optional<SIZE> NaturalSize() { return std::nullopt; }
    // The focus moved; a button's default frame may have moved with it.
    virtual void FocusMoved() {}

    // The effect label an effect-label control shows (null for other kinds).
    virtual controls::TFxLabel* FxLabel() { return nullptr; }

    // Windowless controls: painted on the container's context (its client
    // coordinates), and the container's mouse at a point of its client area.
    virtual void PaintOnSurface(HDC /*dc*/) {}
    // WM_MOUSEMOVE, WM_LBUTTONUP, WM_MOUSELEAVE (point ignored) or WM_SETCURSOR;
    // true when the control used the message.
    virtual bool SurfaceMouse(UINT /*message*/, POINT /*point*/) { return false; }

  protected:
    const app::Widget& W() const { return host_.WidgetAt(index_); }
    // Hands a click to the form (a copy of the name: the handler may change the model).
    void Clicked();

    ControlHost& host_;
    std::size_t index_;
};

// The control of a widget kind; null for the form, which is the window itself.
std::unique_ptr<Control> MakeControl(app::WidgetKind kind, ControlHost& host, std::size_t index);

// A system control (BUTTON, EDIT, LISTBOX) with the widget's font.
HWND CreateSystemControl(const char* className, DWORD exStyle, DWORD style, HWND parent, int id,
                         const std::string& text, HFONT font);
// The text of a window.
std::string WindowText(HWND window);

}  // namespace setup::ui::win32
