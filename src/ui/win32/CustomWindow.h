// Base of the window classes of our own: registers the class once, takes `this`
// at WM_NCCREATE and routes every message to the object's WndProc. Nothing thrown
// there leaves the window procedure: the error goes to the process's error
// reporter (the renderer shows it in the general error box).
#pragma once

#include "platform/win32/WinApi.h"

#include <exception>
#include <string_view>

namespace setup::ui::win32 {

// Shows an error that reached a window procedure; set by the renderer.
using ErrorReporter = void (*)(void* context, std::string_view message);
void SetErrorReporter(ErrorReporter reporter, void* context);
// Calls the reporter (or does nothing when none is set); never throws.
void ReportError(std::string_view message) noexcept;

// Runs `body` and turns any exception into a report; `fallback` is returned then.
template <typename Body>
LRESULT Guarded(LRESULT fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& error) {
        ReportError(error.what());
    } catch (...) {
        ReportError("Unbekannter Fehler");
    }
    return fallback;
}

class CustomWindow {
  public:
    CustomWindow() = default;
    virtual ~CustomWindow();
    CustomWindow(const CustomWindow&) = delete;
    CustomWindow& operator=(const CustomWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }

  protected:
    // Creates the window of a class registered with RegisterCustomClass.
    bool CreateCustom(const char* className, DWORD exStyle, DWORD style, const RECT& place,
                      HWND parent, HMENU idOrMenu, const char* text);
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Destroys the window now, without routing its last messages to the object
    // (for a derived destructor that must tear the window down first).
    void DestroyNow();
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

  public:
    // Registers a class whose windows are CustomWindow objects (once per name).
    static bool RegisterCustomClass(const char* className, UINT classStyle, HICON icon,
                                    HICON smallIcon);

  private:
    static LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace setup::ui::win32
