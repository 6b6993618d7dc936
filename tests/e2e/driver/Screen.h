// What the driver sees of the screen: top-level windows and their controls,
// found by caption or class, as a user finds them by looking; a description of
// everything visible for failure reports; and screenshots.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct WindowInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring className;
    DWORD processId = 0;
};

// Text of a window as the user sees it (edit fields are asked for their content).
std::wstring TextOf(HWND hwnd);
std::wstring ClassOf(HWND hwnd);

// '*' in the pattern stands for any run of characters; the rest must match exactly.
bool Matches(const std::wstring& pattern, const std::wstring& text);

// Visible top-level windows, tooltips left out; of one process when processId != 0.
std::vector<WindowInfo> VisibleTopLevel(DWORD processId = 0);

// The visible descendants of a window, in the order of their place on the screen
// (top to bottom, then left to right), so that "Edit#2" is the second field a user
// reads.
std::vector<WindowInfo> VisibleControls(HWND parent);

// A control in the given windows: by caption ("&Weiter.."), or by class with an
// optional number ("Edit", "ListBox#2"). Only visible, enabled controls of enabled
// windows count when `usable` is set.
HWND FindControl(const std::vector<WindowInfo>& windows, const std::wstring& name, bool usable);

// Every visible top-level window with its controls, one per line.
std::wstring DescribeScreen();

// Saves the whole screen as a 24-bit BMP file; false when that failed.
bool SaveScreenshot(const std::wstring& path);

}  // namespace e2e
