// A control with a window of our own class (panels, labels, pictures, speed
// buttons): the class is registered on first use; the window paints itself
// through CustomWindow's paint hook.
#pragma once

#include "platform/win32/WinApi.h"

#include "ui/win32/Control.h"
#include "ui/win32/CustomWindow.h"

namespace setup::ui::win32 {

class OwnWindowControl : public Control, public CustomWindow {
  public:
    OwnWindowControl(ControlHost& host, std::size_t index, const char* className,
                     DWORD extraStyle = 0, DWORD exStyle = 0)
        : Control(host, index),
          CustomWindow(true),
          className_(className),
          extraStyle_(extraStyle),
          exStyle_(exStyle) {}

    bool Create(HWND parent, int id, DWORD style) override;
    HWND Hwnd() const override { return CustomWindow::Hwnd(); }

  protected:
    // Fills the client area with the widget's background colour.
    void FillBackground(HDC dc, const RECT& client);

  private:
    const char* className_;
    DWORD extraStyle_;
    DWORD exStyle_;
};

}  // namespace setup::ui::win32
