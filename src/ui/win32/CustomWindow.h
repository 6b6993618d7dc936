// Base of the window classes of our own and of our dialogs: registers the class
// once, takes `this` at WM_NCCREATE (WM_INITDIALOG for a dialog) and routes every
// message to the object's WndProc. Windows that draw themselves get one paint
// hook: the background is never erased on its own (no flicker) and Paint is
// given the paint context and the client area. Nothing thrown
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
    // `paintsItself`: WM_PAINT goes to Paint, WM_ERASEBKGND erases nothing.
    explicit CustomWindow(bool paintsItself = false) : paintsItself_(paintsItself) {}
    virtual ~CustomWindow();
    CustomWindow(const CustomWindow&) = delete;
    CustomWindow& operator=(const CustomWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }

  protected:
    // Creates the window of a class registered with RegisterCustomClass.
    bool CreateCustom(const char* className, DWORD exStyle, DWORD style, const RECT& place,
                      HWND parent, HMENU idOrMenu, const char* text);
    // Creates a modeless dialog from a template; the dialog procedure is this
    // object's WndProc (its results are the dialog procedure's: FALSE passes a
    // message to the dialog manager).
    bool CreateCustomDialog(const DLGTEMPLATE& layout, HWND owner);
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the whole client area (windows that paint themselves).
    virtual void Paint(HDC dc, const RECT& client);
    // Destroys the window now, without routing its last messages to the object
    // (for a derived destructor that must tear the window down first).
    void DestroyNow();
    // What a message does unless WndProc handles it: the paint hook, else the
    // system's default (nothing for a dialog, whose manager does it).
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  public:
    // Registers a class whose windows are CustomWindow objects (once per name).
    static bool RegisterCustomClass(const char* className, UINT classStyle, HICON icon,
                                    HICON smallIcon);

  private:
    static LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(CustomWindow* self, int slot, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool paintsItself_ = false;
    bool isDialog_ = false;
};

}  // namespace setup::ui::win32
