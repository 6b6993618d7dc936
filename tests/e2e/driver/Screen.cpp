#include "Screen.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace e2e {

namespace {

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM data) {
    auto& out = *reinterpret_cast<std::vector<HWND>*>(data);
    out.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM data) {
    auto& out = *reinterpret_cast<std::vector<HWND>*>(data);
    out.push_back(hwnd);
    return TRUE;
}

WindowInfo InfoOf(HWND hwnd) {
    WindowInfo info;
    info.hwnd = hwnd;
    info.caption = TextOf(hwnd);
    info.className = ClassOf(hwnd);
    GetWindowThreadProcessId(hwnd, &info.processId);
    return info;
}

// A window is visible only when it and every parent are.
bool ReallyVisible(HWND hwnd) {
    return IsWindowVisible(hwnd) != FALSE;
}

std::wstring OneLine(std::wstring text) {
    for (auto& c : text) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    if (text.size() > 90) {
        text = text.substr(0, 87) + L"...";
    }
    return text;
}

}  // namespace

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    // The content of an edit field lives in the control, not in its title; asking
    // a busy program must not hang the driver.
    if (SameIgnoringCase(ClassOf(hwnd), L"Edit")) {
        DWORD_PTR length = 0;
        if (SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) {
            std::wstring text(length + 1, L'\0');
            DWORD_PTR copied = 0;
            if (SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(),
                                    reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 1000,
                                    &copied)) {
                text.resize(std::min<std::size_t>(copied, length));
                return text;
            }
        }
    }
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

bool Matches(const std::wstring& pattern, const std::wstring& text) {
    // Iterative glob with '*' only.
    std::size_t p = 0, t = 0, star = std::wstring::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

std::vector<WindowInfo> VisibleTopLevel(DWORD processId) {
    std::vector<HWND> all;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&all));
    std::vector<WindowInfo> out;
    for (HWND hwnd : all) {
        if (!IsWindowVisible(hwnd)) {
            continue;
        }
        WindowInfo info = InfoOf(hwnd);
        if (SameIgnoringCase(info.className, L"tooltips_class32") ||
            (processId != 0 && info.processId != processId)) {
            continue;
        }
        out.push_back(std::move(info));
    }
    return out;
}

std::vector<WindowInfo> VisibleControls(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    std::vector<std::pair<RECT, WindowInfo>> placed;
    for (HWND hwnd : all) {
        if (!ReallyVisible(hwnd)) {
            continue;
        }
        RECT r{};
        GetWindowRect(hwnd, &r);
        placed.emplace_back(r, InfoOf(hwnd));
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        return a.first.top != b.first.top ? a.first.top < b.first.top : a.first.left < b.first.left;
    });
    std::vector<WindowInfo> out;
    for (auto& [r, info] : placed) {
        out.push_back(std::move(info));
    }
    return out;
}

HWND FindControl(const std::vector<WindowInfo>& windows, const std::wstring& name, bool usable) {
    std::wstring className = name;
    int wanted = 1;
    if (const auto hash = name.rfind(L'#'); hash != std::wstring::npos && hash + 1 < name.size()) {
        className = name.substr(0, hash);
        wanted = _wtoi(name.c_str() + hash + 1);
    }
    for (const auto& window : windows) {
        if (usable && !IsWindowEnabled(window.hwnd)) {
            continue;
        }
        int seen = 0;
        HWND byClass = nullptr;
        for (const auto& control : VisibleControls(window.hwnd)) {
            if (usable && !IsWindowEnabled(control.hwnd)) {
                continue;
            }
            if (Matches(name, control.caption)) {
                return control.hwnd;
            }
            if (byClass == nullptr && SameIgnoringCase(control.className, className) &&
                ++seen == wanted) {
                byClass = control.hwnd;
            }
        }
        if (byClass != nullptr) {
            return byClass;
        }
    }
    return nullptr;
}

std::wstring DescribeScreen() {
    std::wstring out;
    for (const auto& window : VisibleTopLevel()) {
        out += L"  window \"" + OneLine(window.caption) + L"\" [" + window.className + L"]" +
               (IsWindowEnabled(window.hwnd) ? L"" : L" (disabled)") + L"\n";
        for (const auto& control : VisibleControls(window.hwnd)) {
            if (control.caption.empty() && SameIgnoringCase(control.className, L"SetupPanel")) {
                continue;
            }
            out += L"    [" + control.className + L"] \"" + OneLine(control.caption) + L"\"" +
                   (IsWindowEnabled(control.hwnd) ? L"" : L" (disabled)") + L"\n";
        }
    }
    return out.empty() ? L"  (no visible window)\n" : out;
}

bool SaveScreenshot(const std::wstring& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
    SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<char> pixels(stride * static_cast<std::size_t>(height));
    const bool read =
        copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!read) {
        return false;
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                         std::fwrite(&header, sizeof(header), 1, out) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

}  // namespace e2e
