#include "ui/win32/Picture.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "system/PathHelpers.h"

namespace setup::ui::win32 {
namespace {

// The header that makes a Windows metafile placeable: its bounds in logical units
// and the units per inch.
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kPlaceableHeaderSize = 22;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::vector<std::uint8_t> data;
    platform::win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
    if (!file) {
        return data;
    }
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > 64u * 1024 * 1024) {
        return data;
    }
    data.resize(size);
    DWORD read = 0;
    if (!ReadFile(file.Get(), data.data(), size, &read, nullptr) || read != size) {
        data.clear();
    }
    return data;
}

int Read16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}

// A placeable metafile converted to an enhanced one; its size in pixels at 96 DPI.
EnhMetaFile LoadPlaceableMetafile(const std::string& path, SIZE& size) {
    const std::vector<std::uint8_t> data = ReadWholeFile(path);
    if (data.size() <= kPlaceableHeaderSize) {
        return {};
    }
    std::uint32_t key = 0;
    std::memcpy(&key, data.data(), sizeof(key));
    const int width = Read16(&data[10]) - Read16(&data[6]);
    const int height = Read16(&data[12]) - Read16(&data[8]);
    const int inch = static_cast<std::uint16_t>(data[14] | (data[15] << 8));
    if (key != kPlaceableKey || width <= 0 || height <= 0 || inch == 0) {
        return {};
    }
    METAFILEPICT picture{};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = MulDiv(width, 2540, inch);  // hundredths of a millimetre
    picture.yExt = MulDiv(height, 2540, inch);
    const auto* bits = data.data() + kPlaceableHeaderSize;
    EnhMetaFile metafile(SetWinMetaFileBits(static_cast<UINT>(data.size() - kPlaceableHeaderSize),
                                            bits, nullptr, &picture));
    if (metafile) {
        size = {MulDiv(width, 96, inch), MulDiv(height, 96, inch)};
    }
    return metafile;
}

EnhMetaFile LoadEnhancedMetafile(const std::string& path, SIZE& size) {
    EnhMetaFile metafile(GetEnhMetaFileA(path.c_str()));
    ENHMETAHEADER header{};
    if (!metafile || GetEnhMetaFileHeader(metafile.Get(), sizeof(header), &header) == 0) {
        return {};
    }
    // The frame is in hundredths of a millimetre, inclusive.
    const RECTL& frame = header.rclFrame;
    size = {MulDiv(frame.right - frame.left + 1, 96, 2540),
            MulDiv(frame.bottom - frame.top + 1, 96, 2540)};
    if (size.cx <= 0 || size.cy <= 0) {
        return {};
    }
    return metafile;
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    Bitmap color(info.hbmColor);
    Bitmap mask(info.hbmMask);
    BITMAP bits{};
    if (color && GetObjectA(color.Get(), sizeof(bits), &bits)) {
        return {bits.bmWidth, bits.bmHeight};
    }
    // A monochrome icon: the mask holds the AND and the XOR halves one above the other.
    if (mask && GetObjectA(mask.Get(), sizeof(bits), &bits)) {
        return {bits.bmWidth, bits.bmHeight / 2};
    }
    return {0, 0};
}

// Draws a bitmap with its bottom-left colour left out: the source is XORed onto
// the target, the pixels of that colour are masked back and the XOR undone.
void DrawTransparent(HDC dc, HBITMAP bitmap, SIZE source, const RECT& to) {
    MemoryDc sourceDc(CreateCompatibleDC(dc));
    MemoryDc maskDc(CreateCompatibleDC(dc));
    Bitmap mask(CreateBitmap(source.cx, source.cy, 1, 1, nullptr));
    if (!sourceDc || !maskDc || !mask) {
        return;
    }
    Selection useSource(sourceDc.Get(), bitmap);
    Selection useMask(maskDc.Get(), mask.Get());
    SetBkColor(sourceDc.Get(), GetPixel(sourceDc.Get(), 0, source.cy - 1));
    BitBlt(maskDc.Get(), 0, 0, source.cx, source.cy, sourceDc.Get(), 0, 0, SRCCOPY);

    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const int width = to.right - to.left;
    const int height = to.bottom - to.top;
    StretchBlt(dc, to.left, to.top, width, height, sourceDc.Get(), 0, 0, source.cx, source.cy,
               SRCINVERT);
    StretchBlt(dc, to.left, to.top, width, height, maskDc.Get(), 0, 0, source.cx, source.cy,
               SRCAND);
    StretchBlt(dc, to.left, to.top, width, height, sourceDc.Get(), 0, 0, source.cx, source.cy,
               SRCINVERT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

}  // namespace

Picture Picture::Load(std::string_view pathText) {
    Picture picture;
    const std::string path(pathText);
    const std::string extension = AsciiLower(ExtensionOf(path));
    if (extension == ".bmp") {
        picture.bitmap_ = Bitmap(static_cast<HBITMAP>(
            LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        BITMAP bits{};
        if (picture.bitmap_ && GetObjectA(picture.bitmap_.Get(), sizeof(bits), &bits)) {
            picture.size_ = {bits.bmWidth, bits.bmHeight < 0 ? -bits.bmHeight : bits.bmHeight};
        }
    } else if (extension == ".ico") {
        picture.icon_ = Icon(static_cast<HICON>(
            LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
        if (picture.icon_) {
            picture.size_ = IconSize(picture.icon_.Get());
        }
    } else if (extension == ".wmf") {
        picture.metafile_ = LoadPlaceableMetafile(path, picture.size_);
    } else if (extension == ".emf") {
        picture.metafile_ = LoadEnhancedMetafile(path, picture.size_);
    }
    if (picture.size_.cx <= 0 || picture.size_.cy <= 0) {
        return Picture();
    }
    return picture;
}

void Picture::Draw(HDC dc, const RECT& box, const app::PictureSource& how, int dpi) const {
    if (Empty()) {
        return;
    }
    RECT to = box;
    if (!how.stretch) {
        const int width = MulDiv(size_.cx, dpi, 96);
        const int height = MulDiv(size_.cy, dpi, 96);
        if (how.center) {
            to.left += (box.right - box.left - width) / 2;
            to.top += (box.bottom - box.top - height) / 2;
        }
        to.right = to.left + width;
        to.bottom = to.top + height;
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    if (bitmap_) {
        if (how.transparent) {
            SetStretchBltMode(dc, COLORONCOLOR);
            DrawTransparent(dc, bitmap_.Get(), size_, to);
        } else {
            MemoryDc source(CreateCompatibleDC(dc));
            if (source) {
                Selection use(source.Get(), bitmap_.Get());
                SetStretchBltMode(dc, HALFTONE);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top,
                           source.Get(), 0, 0, size_.cx, size_.cy, SRCCOPY);
            }
        }
    } else if (icon_) {
        DrawIconEx(dc, to.left, to.top, icon_.Get(), to.right - to.left, to.bottom - to.top, 0,
                   nullptr, DI_NORMAL);
    } else if (metafile_) {
        PlayEnhMetaFile(dc, metafile_.Get(), &to);
    }
    RestoreDC(dc, saved);
}

}  // namespace setup::ui::win32
