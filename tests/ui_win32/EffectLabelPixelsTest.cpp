// The main window's effect labels under the real window system: each panel paints
// exactly what its label paints alone and records.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "MainWindowFixture.h"
#include "controls/RecordingCanvas.h"
#include "ui/win32/GdiCanvas.h"

namespace setup::testing {
namespace {

// 32-bit pixels of a device context's rectangle, top row first.
std::vector<std::uint32_t> Pixels(HDC source, int left, int top, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + width * height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (auto& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// What a label paints, alone in a bitmap of its size; and its operations, measured
// with the same GDI metrics.
struct LabelPicture {
    std::vector<std::uint32_t> pixels;
    std::vector<controls::CanvasOperation> operations;
};

LabelPicture PaintAlone(controls::TFxLabel& label) {
    class Measuring final : public controls::Canvas {
      public:
        explicit Measuring(HDC dc) : metrics_(dc) {}
        void SetFont(const controls::FontSpec& f) override {
            metrics_.SetFont(f);
            record.SetFont(f);
        }
        void FillRect(const controls::TRect& r, controls::TColor c) override {
            record.FillRect(r, c);
        }
        int TextWidth(std::string_view t) override { return metrics_.TextWidth(t); }
        controls::TRect MeasureText(std::string_view t, const controls::TRect& r,
                                    unsigned f) override {
            return metrics_.MeasureText(t, r, f);
        }
        void DrawString(std::string_view t, const controls::TRect& r, unsigned f,
                        controls::TColor c) override {
            record.DrawString(t, r, f, c);
        }
        void Polyline(std::span<const controls::TPoint> p, controls::TColor c) override {
            record.Polyline(p, c);
        }
        controls::RecordingCanvas record;

      private:
        gui::GdiCanvas metrics_;
    };
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, label.Width(), label.Height());
    HGDIOBJ previous = SelectObject(memory, bitmap);
    {
        gui::GdiCanvas canvas(memory);
        label.Paint(canvas);
    }
    LabelPicture picture{Pixels(memory, 0, 0, label.Width(), label.Height()), {}};
    {
        Measuring measuring(memory);
        label.Paint(measuring);
        picture.operations = measuring.record.Operations();
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The three effect labels of the window, painted by their panels: each shows
// exactly what the label paints alone, the title in its blue within the text it
// records, the long path shortened to "C:\...\datei.txt" and the short one whole.
TEST_F(MainWindowTest, EffectLabelsPaintOnTheirPanelsWhatTheyRecord) {
    Start(Script());
    const std::string longPath =
        "C:\\Programme\\Beispiel\\Vorlagen\\Geschäftsbriefe\\Ablage\\Archiv 2024\\datei.txt";
    app::WidgetModel& model = form_->Model();
    model.SetVisible(app::kPanelVerzWahl, false);
    model.SetVisible(app::kPanelKopieren, true);
    model.SetVisible(app::kPanelDateinamen, true);
    model.SetCaption(app::kLblQuellDatei, longPath);
    model.SetCaption(app::kLblZielDatei, "C:\\Ziel\\datei.txt");
    Pump(300);

    struct Case {
        std::string_view name;
        std::string_view panel;
        bool shortened;  // drawn as "C:\...\" and the end of the path
    };
    const Case cases[] = {
        {app::kProgName, app::kPanelTop, false},
        {app::kLblQuellDatei, app::kPanelDateinamen, true},
        {app::kLblZielDatei, app::kPanelDateinamen, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        controls::TFxLabel& label = *window_->LabelOf(c.name);
        const LabelPicture alone = PaintAlone(label);
        HDC panel = GetDC(Control(c.panel));
        const auto shown = Pixels(panel, label.Left(), label.Top(), label.Width(), label.Height());
        ReleaseDC(Control(c.panel), panel);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            differing += shown[i] != alone.pixels[i] ? 1u : 0u;
        }
        EXPECT_EQ(differing, 0u);

        const controls::CanvasOperation* text = nullptr;
        for (const auto& op : alone.operations) {
            if (op.kind == controls::CanvasOperation::Kind::Text) {
                text = &op;
            }
        }
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text, label.GetLabelText());
        if (c.shortened) {
            EXPECT_TRUE(text->text.starts_with("C:\\...\\")) << text->text;
            EXPECT_TRUE(text->text.ends_with("\\datei.txt")) << text->text;
            EXPECT_LT(text->text.size(), label.Caption().size());
        } else {
            EXPECT_EQ(text->text, label.Caption());
        }
    }

    // The title's blue lies inside its recorded text and nowhere else.
    controls::TFxLabel& title = *window_->LabelOf(app::kProgName);
    const LabelPicture alone = PaintAlone(title);
    controls::TRect textRect;
    for (const auto& op : alone.operations) {
        if (op.kind == controls::CanvasOperation::Kind::Text) {
            textRect = op.rect;
        }
    }
    std::size_t blue = 0, outside = 0;
    for (int y = 0; y < title.Height(); ++y) {
        for (int x = 0; x < title.Width(); ++x) {
            if (alone.pixels[static_cast<std::size_t>(y * title.Width() + x)] == 0x0000FF) {
                ++blue;
                outside += x < textRect.left || x >= textRect.right || y < textRect.top ||
                                   y >= textRect.bottom
                               ? 1
                               : 0;
            }
        }
    }
    EXPECT_GT(blue, 200u);
    EXPECT_EQ(outside, 0u);
}

}  // namespace
}  // namespace setup::testing

#endif  // _WIN32
