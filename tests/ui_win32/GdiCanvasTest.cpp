// The GDI canvas draws what the label asks for: labels painted into a memory
// bitmap are compared pixel by pixel with the fills and lines the label records
// (measured with the same GDI metrics), text only within the rectangles recorded
// for it, nothing outside the label.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "controls/FxLabel.h"
#include "controls/RecordingCanvas.h"
#include "ui/win32/GdiCanvas.h"

namespace setup::ui::win32 {
namespace {

using namespace controls;

constexpr int kWidth = 160, kHeight = 48;
constexpr TColor kUntouched = 0xFF00FF;
constexpr TColor kBackground = MakeRgb(200, 220, 240);
constexpr TColor kText = MakeRgb(255, 0, 0);
constexpr TColor kHighlight = MakeRgb(0, 160, 0);
constexpr TColor kShadow = MakeRgb(0, 0, 255);

// Measures with GDI, records the drawing.
class MeasuringRecorder final : public Canvas {
  public:
    explicit MeasuringRecorder(HDC dc) : metrics_(dc) {}
    void SetFont(const FontSpec& font) override {
        metrics_.SetFont(font);
        record.SetFont(font);
    }
    void FillRect(const TRect& r, TColor c) override { record.FillRect(r, c); }
    int TextWidth(std::string_view t) override { return metrics_.TextWidth(t); }
    TRect MeasureText(std::string_view t, const TRect& r, unsigned f) override {
        return metrics_.MeasureText(t, r, f);
    }
    void DrawString(std::string_view t, const TRect& r, unsigned f, TColor c) override {
        record.DrawString(t, r, f, c);
    }
    void Polyline(std::span<const TPoint> p, TColor c) override { record.Polyline(p, c); }
    RecordingCanvas record;

  private:
    GdiCanvas metrics_;
};

struct MemoryDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MemoryDc() { DeleteDC(dc); }
};

struct NoHost final : FxLabelHost {
    void Repaint(TFxLabel&) override {}
    void BoundsChanged(TFxLabel&) override {}
    void CursorChanged(TFxLabel&) override {}
    void OpenLink(std::string_view) override {}
};

class GdiCanvasTest : public ::testing::Test {
  protected:
    GdiCanvasTest() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<std::uint32_t*>(bits);
        SelectObject(dc_, bitmap_);
    }
    ~GdiCanvasTest() override {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    TColor Pixel(int x, int y) const {
        const std::uint32_t bgra = pixels_[y * kWidth + x];
        return MakeRgb(static_cast<std::uint8_t>(bgra >> 16), static_cast<std::uint8_t>(bgra >> 8),
                       static_cast<std::uint8_t>(bgra));
    }

    // Paints the label and compares the bitmap with its recorded operations.
    void Check(TFxLabel& label) {
        std::fill(pixels_, pixels_ + kWidth * kHeight, 0xFF00FF);  // magenta, also as BGRA
        MeasuringRecorder recorder(measureDc_.dc);
        label.Paint(recorder);
        PaintFxLabel(label, dc_);
        GdiFlush();

        // nullopt: some text may be there.
        std::vector<std::optional<TColor>> expected(kWidth * kHeight, kUntouched);
        const auto set = [&](int x, int y, std::optional<TColor> c) {
            if (x >= 0 && y >= 0 && x < label.Width() && y < label.Height()) {
                const auto at = (label.Top() + y) * kWidth + label.Left() + x;
                expected[static_cast<std::size_t>(at)] = c;
            }
        };
        std::vector<std::pair<TColor, TRect>> texts;
        for (const auto& op : recorder.record.Operations()) {
            switch (op.kind) {
                case CanvasOperation::Kind::Fill:
                    for (int y = op.rect.top; y < op.rect.bottom; ++y) {
                        for (int x = op.rect.left; x < op.rect.right; ++x) {
                            set(x, y, ToColorRef(op.color));
                        }
                    }
                    break;
                case CanvasOperation::Kind::Text:
                    texts.emplace_back(ToColorRef(op.color), op.rect);
                    for (int y = op.rect.top; y < op.rect.bottom; ++y) {
                        for (int x = op.rect.left; x < op.rect.right; ++x) {
                            set(x, y, std::nullopt);
                        }
                    }
                    break;
                case CanvasOperation::Kind::Lines:
                    for (std::size_t i = 1; i < op.points.size(); ++i) {
                        TPoint p = op.points[i - 1];
                        const TPoint end = op.points[i];
                        ASSERT_TRUE(p.x == end.x || p.y == end.y);
                        while (!(p == end)) {
                            set(p.x, p.y, ToColorRef(op.color));
                            p.x += (end.x > p.x) - (end.x < p.x);
                            p.y += (end.y > p.y) - (end.y < p.y);
                        }
                    }
                    break;
            }
        }
        int mismatches = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const auto& want = expected[static_cast<std::size_t>(y * kWidth + x)];
                if (want && Pixel(x, y) != *want && ++mismatches <= 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << Pixel(x, y)
                                  << " instead of " << *want;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        // Each colour of text shows up inside a rectangle recorded for it.
        for (const auto& [color, rect] : texts) {
            bool found = false;
            for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, label.Height()); ++y) {
                for (int x = std::max(rect.left, 0); x < std::min(rect.right, label.Width()); ++x) {
                    found = found || Pixel(label.Left() + x, label.Top() + y) == color;
                }
            }
            EXPECT_TRUE(found) << "no text in " << std::hex << color;
        }
    }

    TFxLabel& NewLabel(std::string_view caption) {
        labels_.emplace_back(std::make_unique<TFxLabel>(measure_, host_));
        TFxLabel& label = *labels_.back();
        label.SetFont({"Arial", 13, fs::kBold, kText});
        label.SetColor(kBackground);
        label.SetHighlightColor(kHighlight);
        label.SetShadowColor(kShadow);
        label.SetBounds(10, 6, 65, 17);
        label.SetCaption(caption);
        return label;
    }

    HDC dc_ = CreateCompatibleDC(nullptr);
    MemoryDc measureDc_;
    GdiCanvas measure_{measureDc_.dc};

  private:
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    NoHost host_;
    std::vector<std::unique_ptr<TFxLabel>> labels_;
};

TEST_F(GdiCanvasTest, RaisedBevelWithHighlightAndShadow) {
    TFxLabel& label = NewLabel("Abc");
    label.SetBevelStyle(bvRaised);
    label.SetBevelWidth(2);
    label.SetShowHighlight(true);
    label.SetShowShadow(true);
    label.SetHighlightOffset(2);
    EXPECT_GT(label.Width(), 8);  // sized to the GDI text
    Check(label);
}

TEST_F(GdiCanvasTest, SingleFrameCentredAndDisabled) {
    TFxLabel& label = NewLabel("Mitte");
    label.SetAutoSize(false);
    label.SetBounds(4, 4, 120, 30);
    label.SetBevelStyle(bvSingle);
    label.SetAlignment(taCenter);
    label.SetLayout(tlCenter);
    Check(label);
    label.SetEnabled(false);
    Check(label);
}

TEST_F(GdiCanvasTest, ShortenedPathStaysInsideTheLabel) {
    TFxLabel& label = NewLabel("C:\\Programme\\Firma\\Werkzeuge\\Unterordner\\datei.txt");
    label.SetAutoSize(false);
    label.SetBounds(20, 10, 130, 16);
    label.SetStyle(lsPath);
    label.SetBevelStyle(bvFrame);
    const std::string shown = label.GetLabelText();
    EXPECT_EQ(shown.rfind("C:\\...\\", 0), 0u) << shown;
    EXPECT_LE(measure_.TextWidth(shown), 120);
    Check(label);
    // Narrower than the bare name: the name is cut off at the label's edge.
    label.SetBounds(20, 10, 30, 16);
    EXPECT_EQ(label.GetLabelText(), "datei.txt");
    Check(label);
}

}  // namespace
}  // namespace setup::ui::win32

#endif  // _WIN32
