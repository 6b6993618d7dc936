// The Win32 renderer of the wizard's window: a control for every element of the
// widget model (one class per kind, see Control.h), laid out at the screen's DPI,
// kept in sync with the model through its change listener, and user input handed
// to TMainForm (clicks, typed text, list selections, the close box, paints).
#pragma once

#include "platform/win32/WinApi.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "app/MainForm.h"
#include "platform/win32/MessageLoop.h"
#include "ui/win32/Control.h"
#include "ui/win32/CustomWindow.h"
#include "ui/win32/GuiHandles.h"
#include "ui/win32/Resources.h"
#include "ui/win32/Win32UiHost.h"

namespace setup::ui::win32 {

// Control identifiers: the element at index i of the model has this plus i.
inline constexpr int kFirstControlId = 1000;

class MainWindow final : public CustomWindow, private ControlHost {
  public:
    // The form must have been created (TMainForm::Create) before the window is.
    MainWindow(app::TMainForm& form, Win32UiHost& host);
    ~MainWindow() override;

    // Creates the window and its controls, centred on the screen, and shows it
    // with the keyboard focus on the model's focused element.
    bool Create(int showCommand);
    // Runs the thread's message loop until the program ends; returns the exit code.
    int RunMessageLoop();
    // The keyboard handling of the window for one message of a message loop
    // (Tab, Enter for the default button, Escape for the cancel button, "&" keys);
    // true when the message was used up.
    bool PreTranslate(MSG& message);

    // The window of a model element (null: none, windowless or not created).
    HWND ControlOf(std::string_view name) const;
    // The effect label of a model element (null: none or another kind).
    controls::TFxLabel* LabelOf(std::string_view name) const;
    // The button Enter presses now and the one Escape presses (model indexes).
    std::optional<std::size_t> DefaultButton() const;
    std::optional<std::size_t> CancelButton() const;

  private:
    // ControlHost.
    const app::Widget& WidgetAt(std::size_t index) const override;
    Resources& Res() override { return res_; }
    app::TMainForm& Form() override { return form_; }
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void ContainerResized(std::size_t index) override;
    bool IsDefaultButton(std::size_t index) const override { return DefaultButton() == index; }
    void RepaintButtons() override;
    std::span<Control* const> WindowlessIn(std::size_t container) const override {
        return windowless_[container];
    }
    void PaintWindowlessAbove(std::size_t index, HDC dc) override;

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    bool CreateControl(std::size_t index);
    void AddHint(std::size_t index);
    void StackSiblings(std::size_t container);
    void LayOut(std::size_t container);
    void OnModelChange(const app::Widget& widget, app::Change change);
    void ShowBusyCursor();
    void Command(int id, int code);
    HWND UsableFocus(HWND candidate) const;
    void KeepFocusUsable();
    // The window of an element: the main window for the form, null when windowless.
    HWND WindowOf(std::size_t index) const;
    std::size_t IndexOf(const app::Widget& widget) const;
    std::optional<std::size_t> IndexOfWindow(HWND window) const;

    app::TMainForm& form_;
    Win32UiHost& host_;
    const app::WidgetModel& model_;
    Resources res_;
    std::vector<std::size_t> parent_;
    std::vector<std::vector<std::size_t>> children_;
    std::vector<std::unique_ptr<Control>> controls_;  // null for the form
    std::vector<std::vector<Control*>> windowless_;   // per container
    std::optional<platform::win32::ScopedDialogFilter> keys_;
    Window tooltip_;
    bool built_ = false;
    bool busy_ = false;
    HWND savedFocus_ = nullptr;
};

// Creates the form (FormCreate), the window, and runs the program until it ends.
int RunWizard(app::TMainForm& form, Win32UiHost& host, int showCommand);

}  // namespace setup::ui::win32
