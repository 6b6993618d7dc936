#include "ui/win32/MessageBoxWindow.h"

#include <string>
#include <vector>

#include "platform/win32/MessageLoop.h"
#include "ui/win32/CustomWindow.h"
#include "ui/win32/GuiHandles.h"
#include "ui/win32/Resources.h"

namespace setup::ui::win32 {
namespace {

using app::DialogIcon;

// A dialog template without controls, menu, class or title: the controls are made
// at WM_INITDIALOG, where their sizes are known.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};

struct IconKind {
    LPCSTR resource;
    UINT beep;
};

IconKind IconKindOf(DialogIcon icon) {
    switch (icon) {
        case DialogIcon::Warning:
            return {MAKEINTRESOURCEA(32515), MB_ICONEXCLAMATION};  // IDI_EXCLAMATION
        case DialogIcon::Stop:
            return {MAKEINTRESOURCEA(32513), MB_ICONHAND};  // IDI_HAND
        case DialogIcon::Information:
            return {MAKEINTRESOURCEA(32516), MB_ICONASTERISK};  // IDI_ASTERISK
        case DialogIcon::Question:
            return {MAKEINTRESOURCEA(32514), MB_ICONQUESTION};  // IDI_QUESTION
        case DialogIcon::None:
            break;
    }
    return {nullptr, MB_OK};
}

// The text of a button caption as drawn, without the "&" marks.
SIZE CaptionSize(HDC dc, std::string_view caption) {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, caption.data(), static_cast<int>(caption.size()), &r,
              DT_SINGLELINE | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

RECT WorkAreaNear(HWND window) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        work = monitor.rcWork;
    }
    return work;
}

class MessageBoxWindow final : public CustomWindow {
  public:
    MessageBoxWindow(HWND owner, const app::MessageDialog& dialog)
        : owner_(owner), dialog_(dialog), dpi_(ScreenDpi()) {}

    int Run();

  private:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Build();
    HWND AddControl(const char* className, const std::string& text, DWORD style, int id);
    void Finish(int answer) {
        answer_ = answer;
        done_ = true;
    }
    void Escape() {
        if (dialog_.escapeAnswer != app::answer::kNone) {
            Finish(dialog_.escapeAnswer);
        }
    }
    int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HWND owner_;
    const app::MessageDialog& dialog_;
    int dpi_;
    Font font_;
    HWND focus_ = nullptr;
    bool done_ = false;
    int answer_ = app::answer::kNone;
};

int MessageBoxWindow::Run() {
    const int cancelled =
        dialog_.escapeAnswer != app::answer::kNone ? dialog_.escapeAnswer : app::answer::kCancel;
    EmptyDialogTemplate layout{};
    layout.header.style = DS_MODALFRAME | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (!CreateCustomDialog(layout.header, owner_)) {
        return cancelled;
    }
    const bool disableOwner = owner_ != nullptr && IsWindowEnabled(owner_);
    if (disableOwner) {
        EnableWindow(owner_, FALSE);
    }
    ShowWindow(Hwnd(), SW_SHOW);
    if (focus_ != nullptr) {
        // The dialog manager's way of moving the focus, which keeps the default
        // button's frame right.
        SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus_), TRUE);
    }
    MessageBeep(IconKindOf(dialog_.icon).beep);

    {
        const platform::win32::ScopedDialogFilter keys(Hwnd());
        int exitCode = 0;
        const auto end = platform::win32::RunThreadMessages(
            [](void* self) { return static_cast<MessageBoxWindow*>(self)->done_; }, this, exitCode);
        if (end == platform::win32::LoopEnd::Quit) {
            // The quit request belongs to the outer loop: pass it on.
            PostQuitMessage(exitCode);
        }
        if (end != platform::win32::LoopEnd::Done) {
            answer_ = cancelled;
        }
    }
    // The owner is enabled again before the dialog goes, so that it gets the activation back.
    if (disableOwner) {
        EnableWindow(owner_, TRUE);
    }
    DestroyNow();
    return answer_;
}

LRESULT MessageBoxWindow::WndProc(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            Build();
            return FALSE;  // the focus was set by Build
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) {
                Escape();
            } else if (id >= kDialogFirstButtonId &&
                       id < kDialogFirstButtonId + static_cast<int>(dialog_.buttons.size()) &&
                       HIWORD(wParam) == BN_CLICKED) {
                // "&Hilfe" has no answer and leaves the dialog open.
                const int answer =
                    dialog_.buttons[static_cast<std::size_t>(id - kDialogFirstButtonId)].answer;
                if (answer != app::answer::kNone) {
                    Finish(answer);
                }
            }
            return TRUE;
        }
        case WM_CLOSE:
            Escape();
            return TRUE;
        default:
            return FALSE;
    }
}

HWND MessageBoxWindow::AddControl(const char* className, const std::string& text, DWORD style,
                                  int id) {
    HWND control = CreateWindowExA(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                                   0, 0, Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return control;
}

// Lays the dialog out: the icon at the top left, the text beside it wrapped at a
// width that suits the screen, the buttons centred in a row below.
void MessageBoxWindow::Build() {
    SetWindowTextA(Hwnd(), dialog_.caption.c_str());
    font_ = MakeFont(kDialogFontFace, kDialogFontHeight, false, false, dpi_);

    const int margin = Scale(12);
    const int gap = Scale(12);
    const int buttonHeight = Scale(23);
    const int buttonSpacing = Scale(6);
    const RECT work = WorkAreaNear(owner_ != nullptr ? owner_ : Hwnd());

    HICON icon = nullptr;
    if (const IconKind kind = IconKindOf(dialog_.icon); kind.resource != nullptr) {
        icon = LoadIconA(nullptr, kind.resource);  // shared by the system, never destroyed
    }
    const int iconSize = icon != nullptr ? GetSystemMetrics(SM_CXICON) : 0;

    WindowDc screen(Hwnd());
    Selection useFont(screen.Get(), font_.Get());
    int wrapWidth = (work.right - work.left) / 2;
    wrapWidth = wrapWidth < Scale(200)   ? Scale(200)
                : wrapWidth > Scale(520) ? Scale(520)
                                         : wrapWidth;
    RECT text{0, 0, wrapWidth, 0};
    const UINT textFormat = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    DrawTextA(screen.Get(), dialog_.text.c_str(), static_cast<int>(dialog_.text.size()), &text,
              textFormat);
    const int textWidth = text.right - text.left;
    const int textHeight = text.bottom - text.top;

    std::vector<int> widths;
    int rowWidth = 0;
    for (const auto& button : dialog_.buttons) {
        const int width = CaptionSize(screen.Get(), button.caption).cx + Scale(16);
        widths.push_back(width < Scale(75) ? Scale(75) : width);
        rowWidth += widths.back() + (widths.size() > 1 ? buttonSpacing : 0);
    }

    const int topWidth = (icon != nullptr ? iconSize + gap : 0) + textWidth;
    const int clientWidth = (topWidth > rowWidth ? topWidth : rowWidth) + 2 * margin;
    const int topHeight = iconSize > textHeight ? iconSize : textHeight;
    const int buttonsTop = margin + topHeight + Scale(16);
    const int clientHeight = buttonsTop + buttonHeight + margin;

    if (icon != nullptr) {
        HWND iconControl = AddControl("STATIC", "", SS_ICON, kDialogIconId);
        SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        MoveWindow(iconControl, margin, margin, iconSize, iconSize, FALSE);
    }
    HWND textControl = AddControl("STATIC", dialog_.text, SS_LEFT | SS_NOPREFIX, kDialogTextId);
    const int textLeft = margin + (icon != nullptr ? iconSize + gap : 0);
    const int textTop = margin + (topHeight - textHeight) / 2;
    MoveWindow(textControl, textLeft, textTop, textWidth + 1, textHeight, FALSE);

    HWND focus = nullptr;
    int x = (clientWidth - rowWidth) / 2;
    for (std::size_t i = 0; i < dialog_.buttons.size(); ++i) {
        const auto& button = dialog_.buttons[i];
        const bool isDefault =
            button.answer == dialog_.defaultAnswer && dialog_.defaultAnswer != app::answer::kNone;
        const int id = kDialogFirstButtonId + static_cast<int>(i);
        HWND control = AddControl(
            "BUTTON", std::string(button.caption),
            WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
            id);
        MoveWindow(control, x, buttonsTop, widths[i], buttonHeight, FALSE);
        x += widths[i] + buttonSpacing;
        if (isDefault) {
            SendMessageA(Hwnd(), DM_SETDEFID, static_cast<WPARAM>(id), 0);
            focus = control;
        } else if (focus == nullptr && i == 0) {
            focus = control;
        }
    }

    if (dialog_.escapeAnswer == app::answer::kNone) {
        EnableMenuItem(GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }

    // Outer size for this client size; centred on the owner, kept on its screen.
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(Hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE)));
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    RECT around = work;
    if (owner_ != nullptr && IsWindowVisible(owner_) && !IsIconic(owner_)) {
        GetWindowRect(owner_, &around);
    }
    int left = around.left + (around.right - around.left - width) / 2;
    int top = around.top + (around.bottom - around.top - height) / 2;
    left = left + width > work.right ? work.right - width : left;
    top = top + height > work.bottom ? work.bottom - height : top;
    left = left < work.left ? work.left : left;
    top = top < work.top ? work.top : top;
    SetWindowPos(Hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    focus_ = focus;
    if (focus != nullptr) {
        SetFocus(focus);
    }
}

}  // namespace

int RunMessageDialog(HWND owner, const app::MessageDialog& dialog) {
    MessageBoxWindow window(owner, dialog);
    return window.Run();
}

}  // namespace setup::ui::win32
