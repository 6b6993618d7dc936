// The logo box of the main window: the picture formats it loads, its size when
// auto-sized, and the pixels it shows stretched, centred or transparent; with
// the builders of the picture files.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "MainWindowFixture.h"

namespace setup::testing {
namespace {

std::string Little16(int value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
std::string Little32(std::uint32_t value) {
    return Little16(static_cast<int>(value & 0xFFFF)) + Little16(static_cast<int>(value >> 16));
}

// A 24-bit bitmap file: red, with a blue square in the middle.
std::string BitmapFile(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const bool inner =
                x >= width / 4 && x < width * 3 / 4 && y >= height / 4 && y < height * 3 / 4;
            row += inner ? std::string("\xFF\x00\x00", 3) : std::string("\x00\x00\xFF", 3);
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        pixels += row;
    }
    std::string info = Little32(40) + Little32(static_cast<std::uint32_t>(width)) +
                       Little32(static_cast<std::uint32_t>(height)) + Little16(1) + Little16(24) +
                       Little32(0) + Little32(static_cast<std::uint32_t>(pixels.size())) +
                       Little32(2835) + Little32(2835) + Little32(0) + Little32(0);
    return "BM" + Little32(static_cast<std::uint32_t>(14 + info.size() + pixels.size())) +
           Little32(0) + Little32(14 + 40) + info + pixels;
}

// A 16 by 16 icon file with one 32-bit image.
std::string IconFile() {
    std::string image = Little32(40) + Little32(16) + Little32(32) + Little16(1) + Little16(32) +
                        Little32(0) + Little32(0) + Little32(0) + Little32(0) + Little32(0) +
                        Little32(0);
    for (int i = 0; i < 16 * 16; ++i) {
        image += std::string("\x00\x80\x00\xFF", 4);
    }
    image += std::string(16 * 4, '\0');  // AND mask: all opaque
    return Little16(0) + Little16(1) + Little16(1) + std::string("\x10\x10\x00\x00", 4) +
           Little16(1) + Little16(32) + Little32(static_cast<std::uint32_t>(image.size())) +
           Little32(6 + 16) + image;
}

// A placeable metafile of 1 by 0.5 inch (96 by 48 pixels at 96 DPI).
std::string PlaceableMetafile() {
    HDC dc = CreateMetaFileA(nullptr);
    Rectangle(dc, 0, 0, 1440, 720);
    HMETAFILE metafile = CloseMetaFile(dc);
    std::string bits(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(metafile);
    std::string header = Little32(0x9AC6CDD7u) + Little16(0) + Little16(0) + Little16(0) +
                         Little16(1440) + Little16(720) + Little16(1440) + Little32(0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < header.size(); i += 2) {
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(header[i]) |
                                               (static_cast<unsigned char>(header[i + 1]) << 8));
    }
    return header + Little16(checksum) + bits;
}

// An enhanced metafile of 1 by 0.5 inch, written where the test says.
void WriteEnhancedMetafile(const std::string& path) {
    RECT frame{0, 0, 2540, 1270};  // hundredths of a millimetre
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    Rectangle(dc, 0, 0, 50, 25);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

struct LogoCase {
    std::string_view name;
    const char* file;
    int width;  // the logo box after loading (80 by 45 when nothing loads)
    int height;
};

class LogoTest : public MainWindowTest, public ::testing::WithParamInterface<LogoCase> {};

TEST_P(LogoTest, AutoSizedBoxTakesThePictureSize) {
    const LogoCase& c = GetParam();
    std::vector<std::pair<std::string, std::string>> files = {{"logo.bmp", BitmapFile(40, 30)},
                                                              {"logo.ico", IconFile()},
                                                              {"logo.wmf", PlaceableMetafile()},
                                                              {"bild.jpg", BitmapFile(40, 30)},
                                                              {"kaputt.bmp", "BM kein Bild"}};
    CreateDirectoryA(Medium().c_str(), nullptr);
    WriteEnhancedMetafile(Medium() + "logo.emf");
    Start(Script(std::string("Logo=") + c.file + "\r\nStretchLogo=0\r\nAutoSizeLogo=1\r\n"), files);
    const app::Rect box = Model().Get(app::kLogo).bounds;
    EXPECT_EQ(box.width, c.width);
    EXPECT_EQ(box.height, c.height);
    EXPECT_EQ(box.top, c.height < 49 ? (57 - c.height) / 2 : 6);
    EXPECT_EQ(Model().Get(app::kProgName).bounds.width, 435 - 12 - c.width);
    if (AtDesignDpi()) {
        EXPECT_EQ(PlaceOf(Control(app::kLogo)), (Place{6, box.top, c.width, c.height}));
    }
}

const LogoCase kLogoCases[] = {
    {"Bitmap", "logo.bmp", 40, 30},      {"Icon", "logo.ico", 16, 16},
    {"Metafile", "logo.wmf", 96, 48},    {"EnhancedMetafile", "logo.emf", 96, 48},
    {"OtherFormat", "bild.jpg", 80, 45}, {"Unreadable", "kaputt.bmp", 80, 45},
    {"Missing", "fehlt.bmp", 80, 45},
};

INSTANTIATE_TEST_SUITE_P(Win32, LogoTest, ::testing::ValuesIn(kLogoCases),
                         [](const auto& test) { return std::string(test.param.name); });

// What the logo box shows: the picture stretched over the box, or with its
// bottom-left colour left out so the title panel shows through.
struct LogoLook {
    std::string_view name;
    const char* settings;
    COLORREF corner;
    COLORREF middle;
};

class LogoLookTest : public MainWindowTest, public ::testing::WithParamInterface<LogoLook> {};

TEST_P(LogoLookTest, PixelsOfTheBox) {
    const LogoLook& c = GetParam();
    Start(Script(std::string("Logo=logo.bmp\r\n") + c.settings),
          {{"logo.bmp", BitmapFile(40, 30)}});
    HWND logo = Control(app::kLogo);
    UpdateWindow(logo);
    RECT r;
    GetClientRect(logo, &r);
    HDC dc = GetDC(logo);
    const COLORREF corner = GetPixel(dc, 1, r.bottom - 2);
    const COLORREF middle = GetPixel(dc, r.right / 2, r.bottom / 2);
    ReleaseDC(logo, dc);
    EXPECT_EQ(corner, c.corner);
    EXPECT_EQ(middle, c.middle);
}

const LogoLook kLogoLooks[] = {
    {"Stretched", "StretchLogo=1\r\n", RGB(255, 0, 0), RGB(0, 0, 255)},
    {"Transparent", "StretchLogo=1\r\nLogoTransparent=1\r\n", RGB(221, 221, 221), RGB(0, 0, 255)},
    // Centred at its own size in the 80 by 45 box: the corner is the panel's.
    {"Centred", "StretchLogo=0\r\n", RGB(221, 221, 221), RGB(0, 0, 255)},
};

INSTANTIATE_TEST_SUITE_P(Win32, LogoLookTest, ::testing::ValuesIn(kLogoLooks),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace setup::testing

#endif  // _WIN32
