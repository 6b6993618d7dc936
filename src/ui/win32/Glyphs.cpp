#include "ui/win32/Glyphs.h"

#include <cstddef>
#include <initializer_list>

#include "ui/win32/GuiHandles.h"

namespace setup::ui::win32 {
namespace {

using app::Glyph;

constexpr int kGrid = 32;  // glyphs are designed on a 32 by 32 grid

struct GridPoint {
    int x, y;
};

// Maps the design grid onto a square of the device and draws filled shapes and
// thick lines on it; disabled glyphs come out in greys.
class GlyphCanvas {
  public:
    GlyphCanvas(HDC dc, const RECT& box, bool enabled) : dc_(dc), enabled_(enabled) {
        const int width = box.right - box.left;
        const int height = box.bottom - box.top;
        size_ = width < height ? width : height;
        left_ = box.left + (width - size_) / 2;
        top_ = box.top + (height - size_) / 2;
    }

    void Polygon(COLORREF fill, COLORREF outline, std::initializer_list<GridPoint> points) {
        POINT device[kMostPoints];
        const int count = ToDevice(points, device);
        Shape(fill, outline, 1, [&] { ::Polygon(dc_, device, count); });
    }
    void Box(COLORREF fill, COLORREF outline, GridPoint from, GridPoint to) {
        Shape(fill, outline, 1, [&] {
            POINT a = At(from), b = At(to);
            Rectangle(dc_, a.x, a.y, b.x, b.y);
        });
    }
    void Ring(COLORREF fill, COLORREF outline, int width, GridPoint from, GridPoint to,
              bool filled = true) {
        Shape(
            fill, outline, width,
            [&] {
                POINT a = At(from), b = At(to);
                Ellipse(dc_, a.x, a.y, b.x, b.y);
            },
            filled);
    }
    // A polyline `width` grid units thick, with round ends.
    void Line(COLORREF color, int width, std::initializer_list<GridPoint> points) {
        POINT device[kMostPoints];
        const int count = ToDevice(points, device);
        Pen pen(CreatePen(PS_SOLID, Thickness(width), Tone(color)));
        Selection usePen(dc_, pen.Get());
        Polyline(dc_, device, count);
    }

  private:
    static constexpr std::size_t kMostPoints = 8;

    int ToDevice(std::initializer_list<GridPoint> points, POINT* device) const {
        int count = 0;
        for (GridPoint p : points) {
            if (static_cast<std::size_t>(count) < kMostPoints) {
                device[count++] = At(p);
            }
        }
        return count;
    }
    POINT At(GridPoint p) const {
        return {left_ + MulDiv(p.x, size_, kGrid), top_ + MulDiv(p.y, size_, kGrid)};
    }
    int Thickness(int units) const {
        const int pixels = MulDiv(units, size_, kGrid);
        return pixels > 0 ? pixels : 1;
    }
    COLORREF Tone(COLORREF color) const {
        if (enabled_) {
            return color;
        }
        // Greys of the colour's brightness, lightened towards the button face.
        const int grey =
            (GetRValue(color) * 30 + GetGValue(color) * 59 + GetBValue(color) * 11) / 100;
        const auto light = static_cast<COLORREF>(128 + grey / 2);  // grey is 0 to 255
        return light * 0x010101u;  // the same level in red, green and blue
    }
    template <typename Draw>
    void Shape(COLORREF fill, COLORREF outline, int width, Draw draw, bool filled = true) {
        Brush brush(CreateSolidBrush(Tone(fill)));
        Pen pen(CreatePen(PS_SOLID, Thickness(width),
                          enabled_ ? outline : GetSysColor(COLOR_BTNSHADOW)));
        Selection useBrush(dc_,
                           filled ? static_cast<HGDIOBJ>(brush.Get()) : GetStockObject(NULL_BRUSH));
        Selection usePen(dc_, pen.Get());
        draw();
    }

    HDC dc_;
    bool enabled_;
    int size_ = 0;
    int left_ = 0;
    int top_ = 0;
};

constexpr COLORREF kGreen = RGB(0, 150, 0);
constexpr COLORREF kDarkGreen = RGB(0, 90, 0);
constexpr COLORREF kRed = RGB(210, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFolder = RGB(255, 208, 64);
constexpr COLORREF kFolderEdge = RGB(150, 110, 0);
constexpr COLORREF kNavy = RGB(0, 0, 128);

void DrawFolder(GlyphCanvas& c, int left, int top, int right, int bottom) {
    const int tab = left + (right - left) * 2 / 5;
    c.Polygon(kFolder, kFolderEdge,
              {{left, top},
               {tab, top},
               {tab + 3, top + 3},
               {right, top + 3},
               {right, bottom},
               {left, bottom}});
    c.Polygon(RGB(255, 232, 140), kFolderEdge,
              {{left, top + 7}, {right, top + 7}, {right, bottom}, {left, bottom}});
}

}  // namespace

void DrawGlyph(HDC dc, Glyph glyph, const RECT& box, bool enabled) {
    GlyphCanvas c(dc, box, enabled);
    switch (glyph) {
        case Glyph::None:
            break;
        case Glyph::Next:
            c.Polygon(kGreen, kDarkGreen,
                      {{4, 12}, {17, 12}, {17, 5}, {29, 16}, {17, 27}, {17, 20}, {4, 20}});
            break;
        case Glyph::Cancel:
            c.Line(kRed, 5, {{8, 8}, {24, 24}});
            c.Line(kRed, 5, {{24, 8}, {8, 24}});
            break;
        case Glyph::Ok:
        case Glyph::Yes:
            c.Line(kGreen, 5, {{6, 17}, {13, 24}, {26, 8}});
            break;
        case Glyph::No:
            c.Ring(kWhite, kRed, 4, {5, 5}, {28, 28}, false);
            c.Line(kRed, 4, {{10, 22}, {22, 10}});
            break;
        case Glyph::Finish:
            c.Line(RGB(90, 60, 30), 3, {{7, 4}, {7, 29}});
            c.Box(kWhite, kBlack, {9, 5}, {27, 18});
            for (int row = 0; row < 2; ++row) {
                for (int column = row % 2; column < 4; column += 2) {
                    c.Box(kBlack, kBlack, {9 + column * 9 / 2, 5 + row * 13 / 2},
                          {9 + (column + 1) * 9 / 2, 5 + (row + 1) * 13 / 2});
                }
            }
            break;
        case Glyph::Start:
            c.Polygon(kGreen, kDarkGreen, {{9, 5}, {27, 16}, {9, 27}});
            break;
        case Glyph::Browse:
            c.Line(RGB(120, 80, 40), 6, {{19, 19}, {27, 27}});
            c.Ring(RGB(210, 235, 255), kNavy, 3, {4, 4}, {22, 22});
            break;
        case Glyph::Folder:
            DrawFolder(c, 3, 6, 29, 27);
            break;
        case Glyph::Copy:
            c.Box(kWhite, RGB(110, 110, 110), {4, 3}, {19, 22});
            c.Box(kWhite, kBlack, {13, 10}, {28, 29});
            for (int y : {15, 19, 23}) {
                c.Line(kNavy, 1, {{16, y}, {y == 23 ? 22 : 25, y}});
            }
            break;
        case Glyph::ProgramGroup:
            DrawFolder(c, 2, 4, 24, 22);
            c.Box(kWhite, kBlack, {13, 14}, {30, 29});
            c.Box(kNavy, kNavy, {13, 14}, {30, 18});
            break;
        case Glyph::MoveRight:
            c.Polygon(kBlack, kBlack, {{11, 7}, {23, 16}, {11, 25}});
            break;
        case Glyph::MoveLeft:
            c.Polygon(kBlack, kBlack, {{21, 7}, {9, 16}, {21, 25}});
            break;
    }
}

}  // namespace setup::ui::win32
