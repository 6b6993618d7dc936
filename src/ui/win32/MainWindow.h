// The Win32 renderer of the wizard's window: a real window and control for every
// element of the widget model, laid out at the screen's DPI, kept in sync with
// the model through its change listener, and user input handed to TMainForm
// (clicks, typed text, list selections, the close box, paints).
#pragma once

#include "platform/win32/WinApi.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/MainForm.h"
#include "ui/win32/Controls.h"
#include "ui/win32/CustomWindow.h"
#include "ui/win32/GuiHandles.h"
#include "ui/win32/Resources.h"
#include "ui/win32/Win32UiHost.h"

namespace setup::ui::win32 {

// Control identifiers: the element at index i of the model has this plus i.
inline constexpr int kFirstControlId = 1000;

class MainWindow final : public CustomWindow, private WidgetHost {
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

    // The window of a model element (null: none or not created).
    HWND ControlOf(std::string_view name) const;
    // The button Enter presses now and the one Escape presses (model indexes).
    std::optional<std::size_t> DefaultButton() const;
    std::optional<std::size_t> CancelButton() const;

  private:
    struct Control {
        HWND hwnd = nullptr;
        std::unique_ptr<WidgetWindow> custom;  // panels, labels, pictures, speed buttons
        Window system;                         // push buttons, edit fields, memos, lists
    };

    // WidgetHost.
    const app::Widget& WidgetAt(std::size_t index) const override;
    Resources& Res() override { return res_; }
    bool FromChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void ContainerResized(std::size_t index) override;

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CreateControl(std::size_t index);
    void AddHint(std::size_t index);
    void StackSiblings(std::size_t container);
    void LayOut(std::size_t container);
    void OnModelChange(const app::Widget& widget, app::Change change);
    void ShowCaption(std::size_t index);
    void SyncItems(std::size_t index);
    void SyncSelection(std::size_t index);
    void CopySelection(std::size_t index);
    void LoadPicture(std::size_t index);
    void Command(int id, int code);
    void Click(std::size_t index);
    void DrawButton(const DRAWITEMSTRUCT& item);
    void RepaintButtons();
    HWND UsableFocus(HWND candidate) const;
    void KeepFocusUsable();
    std::size_t IndexOf(const app::Widget& widget) const;
    std::optional<std::size_t> IndexOfWindow(HWND window) const;

    app::TMainForm& form_;
    Win32UiHost& host_;
    const app::WidgetModel& model_;
    Resources res_;
    std::vector<std::size_t> parent_;
    std::vector<std::vector<std::size_t>> children_;
    std::vector<Control> controls_;
    Window tooltip_;
    bool built_ = false;
    bool busy_ = false;
    bool syncing_ = false;
    HWND savedFocus_ = nullptr;
};

// Creates the form (FormCreate), the window, and runs the program until it ends.
int RunWizard(app::TMainForm& form, Win32UiHost& host, int showCommand);

}  // namespace setup::ui::win32
