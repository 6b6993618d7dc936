// Owners of the window-system handles the renderer uses: windows, GDI objects,
// icons, metafiles, device contexts, shell item lists and the COM apartment.
#pragma once

#include "platform/win32/WinApi.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/Handles.h"

namespace setup::ui::win32 {

using platform::win32::UniqueResource;

namespace detail {
inline HWND NullWindow() {
    return nullptr;
}
inline bool DestroyWindowIfAlive(HWND window) {
    return IsWindow(window) ? DestroyWindow(window) != FALSE : true;
}
template <typename T>
T NullOf() {
    return nullptr;
}
template <typename T>
bool DeleteGdiObject(T object) {
    return DeleteObject(object) != FALSE;
}
inline bool DestroyIconHandle(HICON icon) {
    return DestroyIcon(icon) != FALSE;
}
inline bool DeleteEnhMetaFileHandle(HENHMETAFILE metafile) {
    return DeleteEnhMetaFile(metafile) != FALSE;
}
inline bool DeleteMemoryDc(HDC dc) {
    return DeleteDC(dc) != FALSE;
}
}  // namespace detail

// A window that is destroyed with its owner object (unless it is gone already,
// for example as the child of a parent destroyed first).
using Window = UniqueResource<HWND, detail::NullWindow, detail::DestroyWindowIfAlive>;
using Font = UniqueResource<HFONT, detail::NullOf<HFONT>, detail::DeleteGdiObject<HFONT>>;
using Brush = UniqueResource<HBRUSH, detail::NullOf<HBRUSH>, detail::DeleteGdiObject<HBRUSH>>;
using Pen = UniqueResource<HPEN, detail::NullOf<HPEN>, detail::DeleteGdiObject<HPEN>>;
using Bitmap = UniqueResource<HBITMAP, detail::NullOf<HBITMAP>, detail::DeleteGdiObject<HBITMAP>>;
// An icon made or loaded by us (never a shared system icon from LoadIcon).
using Icon = UniqueResource<HICON, detail::NullOf<HICON>, detail::DestroyIconHandle>;
using EnhMetaFile =
    UniqueResource<HENHMETAFILE, detail::NullOf<HENHMETAFILE>, detail::DeleteEnhMetaFileHandle>;
using MemoryDc = UniqueResource<HDC, detail::NullOf<HDC>, detail::DeleteMemoryDc>;

// Selects a GDI object into a device context for the life of the guard.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GetDC/ReleaseDC of a window (null: the screen).
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// The calling thread's COM apartment, entered for the life of the guard (and left
// only when entering it succeeded).
class ComApartment {
  public:
    ComApartment()
        : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT result_;
};

// An item list the shell allocated with the COM task allocator.
class ItemIdList {
  public:
    ItemIdList() = default;
    explicit ItemIdList(LPITEMIDLIST items) : items_(items) {}
    ~ItemIdList() { CoTaskMemFree(items_); }
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    LPITEMIDLIST* Out() { return &items_; }
    LPITEMIDLIST Get() const { return items_; }

  private:
    LPITEMIDLIST items_ = nullptr;
};

}  // namespace setup::ui::win32
