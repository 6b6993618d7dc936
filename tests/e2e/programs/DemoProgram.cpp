// A small program for the example media: a window that names itself and, when
// started for a document, the document. The title and the line of text come
// from the build (DEMO_TITLE, DEMO_TEXT), so one source gives every program the
// full demo medium installs.

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <string>

namespace {

std::wstring g_text;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT r;
            GetClientRect(hwnd, &r);
            InflateRect(&r, -12, -12);
            SetBkMode(dc, TRANSPARENT);
            SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextW(dc, g_text.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The file name of the first argument, when there is one.
std::wstring DocumentName() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring name;
    if (args != nullptr && count > 1) {
        name = args[1];
        name = name.substr(name.find_last_of(L"\\/:") + 1);
    }
    LocalFree(args);
    return name;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const std::wstring document = DocumentName();
    std::wstring title = DEMO_TITLE;
    g_text = DEMO_TEXT;
    if (!document.empty()) {
        title += L" - " + document;
        g_text += L"\n\nGeöffnet: " + document;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"DemoProgram";
    RegisterClassW(&windowClass);
    HWND hwnd = CreateWindowW(L"DemoProgram", title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 360, 160, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
