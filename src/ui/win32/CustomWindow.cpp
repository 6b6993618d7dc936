#include "ui/win32/CustomWindow.h"

#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

ErrorReporter g_reporter = nullptr;
void* g_reporterContext = nullptr;
bool g_reporting = false;

}  // namespace

void SetErrorReporter(ErrorReporter reporter, void* context) {
    g_reporter = reporter;
    g_reporterContext = context;
}

void ReportError(std::string_view message) noexcept {
    // An error while an error is being shown is not shown again.
    if (g_reporter == nullptr || g_reporting) {
        return;
    }
    g_reporting = true;
    try {
        g_reporter(g_reporterContext, message);
    } catch (...) {
    }
    g_reporting = false;
}

CustomWindow::~CustomWindow() {
    DestroyNow();
}

void CustomWindow::DestroyNow() {
    if (hwnd_ != nullptr) {
        // Cut the link before destroying, so that no message reaches an object
        // that is itself being destroyed.
        HWND window = hwnd_;
        hwnd_ = nullptr;
        SetWindowLongPtrA(window, isDialog_ ? static_cast<int>(DWLP_USER) : GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

bool CustomWindow::RegisterCustomClass(const char* className, UINT classStyle, HICON icon,
                                       HICON smallIcon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, className, &existing)) {
        return true;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = Thunk;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) != 0;
}

bool CustomWindow::CreateCustom(const char* className, DWORD exStyle, DWORD style,
                                const RECT& place, HWND parent, HMENU idOrMenu, const char* text) {
    HWND created = CreateWindowExA(exStyle, className, text, style, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, parent,
                                   idOrMenu, GetModuleHandleA(nullptr), this);
    return created != nullptr && created == hwnd_;
}

bool CustomWindow::CreateCustomDialog(const DLGTEMPLATE& layout, HWND owner) {
    isDialog_ = true;
    HWND created = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &layout, owner,
                                              DialogThunk, reinterpret_cast<LPARAM>(this));
    if (created != nullptr && created != hwnd_) {
        DestroyWindow(created);
        return false;
    }
    return created != nullptr;
}

LRESULT CustomWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

void CustomWindow::Paint(HDC /*dc*/, const RECT& /*client*/) {}

LRESULT CustomWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (paintsItself_ && message == WM_ERASEBKGND) {
        return 1;
    }
    if (paintsItself_ && message == WM_PAINT) {
        PaintDc dc(hwnd_);
        RECT client;
        GetClientRect(hwnd_, &client);
        Paint(dc.Get(), client);
        return 0;
    }
    return isDialog_ ? FALSE : DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CustomWindow::Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CustomWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<CustomWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    }
    return Route(self, GWLP_USERDATA, window, message, wParam, lParam);
}

INT_PTR CALLBACK CustomWindow::DialogThunk(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    CustomWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CustomWindow*>(lParam);
    }
    return Route(self, DWLP_USER, window, message, wParam, lParam);
}

// `self` is the object when the message binds it (creation), else null: the
// window's slot holds it then.
LRESULT CustomWindow::Route(CustomWindow* self, int slot, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    const bool dialog = slot == DWLP_USER;
    if (self != nullptr) {
        self->hwnd_ = window;
        SetWindowLongPtrA(window, slot, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CustomWindow*>(GetWindowLongPtrA(window, slot));
    }
    if (self == nullptr) {
        return dialog ? FALSE : DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, slot, 0);
        self->hwnd_ = nullptr;
        return dialog ? FALSE : DefWindowProcA(window, message, wParam, lParam);
    }
    return Guarded(0, [&] { return self->WndProc(message, wParam, lParam); });
}

}  // namespace setup::ui::win32
