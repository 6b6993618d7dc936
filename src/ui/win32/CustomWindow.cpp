#include "ui/win32/CustomWindow.h"

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
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
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

LRESULT CustomWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CALLBACK CustomWindow::Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CustomWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<CustomWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CustomWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return Guarded(0, [&] { return self->WndProc(message, wParam, lParam); });
}

}  // namespace setup::ui::win32
