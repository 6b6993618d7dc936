// The main window's three effect labels as both renderers set them up from the
// widget model, and what the simulator's transcript says they draw.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/EffectLabels.h"
#include "app/MainWindowElements.h"
#include "controls/RecordingCanvas.h"
#include "ui/headless/Transcript.h"

namespace setup::app {
namespace {

using namespace controls;

struct NoHost final : FxLabelHost {
    void Repaint(TFxLabel&) override {}
    void BoundsChanged(TFxLabel&) override {}
    void CursorChanged(TFxLabel&) override {}
    void OpenLink(std::string_view) override {}
};

struct Expected {
    const char* name;
    int dpi;
    TLabelStyle style;
    TAlignment alignment;
    FontSpec font;
    TColor color;
    TRect bounds;  // left, top, width, height
    bool shortens;
};

TEST(EffectLabels, TheModelSetsUpEachLabelAsTheWindowShowsIt) {
    WidgetModel model;
    BuildMainWindow(model);
    const FontSpec title{"Times New Roman", 37, fs::kBold | fs::kItalic, clBlue};
    const FontSpec path{"MS Sans Serif", 11, fs::kBold, clWindowText};
    const Expected cases[] = {
        {"ProgName",
         96,
         lsCustom,
         taCenter,
         title,
         MakeRgb(221, 221, 221),
         {88, 5, 342, 47},
         false},
        // At 120 DPI sizes grow by a quarter, rounded as MulDiv does.
        {"ProgName",
         120,
         lsCustom,
         taCenter,
         {"Times New Roman", 46, title.styles, clBlue},
         MakeRgb(221, 221, 221),
         {110, 6, 428, 59},
         false},
        {"LblQuellDatei", 96, lsPath, taLeftJustify, path, clBtnFace, {8, 32, 377, 13}, true},
        {"LblZielDatei", 96, lsPath, taLeftJustify, path, clBtnFace, {8, 72, 377, 13}, true},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(std::string(e.name) + " at " + std::to_string(e.dpi));
        RecordingCanvas canvas;
        NoHost host;
        TFxLabel label(canvas, host);
        ConfigureEffectLabel(label, model, model.Get(e.name), e.dpi);
        EXPECT_EQ(label.Style(), e.style);
        EXPECT_EQ(label.Alignment(), e.alignment);
        EXPECT_EQ(label.Font(), e.font);
        EXPECT_EQ(label.Color(), e.color);
        EXPECT_EQ((TRect{label.Left(), label.Top(), label.Width(), label.Height()}), e.bounds);
        EXPECT_EQ(label.ShortenFilenames(), e.shortens);
        EXPECT_EQ(label.ShowAccelChar(), !e.shortens);
        // No effects and no link on any of them; the hover colours of the model.
        EXPECT_FALSE(label.AutoSize());
        EXPECT_FALSE(label.ShowShadow());
        EXPECT_FALSE(label.ShowHighlight());
        EXPECT_FALSE(label.LinkActive());
        EXPECT_EQ(label.ShadowColor(), clNavy);
        EXPECT_EQ(label.HighlightColor(), clAqua);
        EXPECT_EQ(label.HoverColor(), clBtnFace);
        EXPECT_EQ(label.HoverFontColor(), clWindowText);
    }
}

TEST(EffectLabels, TheTranscriptShowsShortenedPathsBesideTheFullOnes) {
    WidgetModel model;
    BuildMainWindow(model);
    const std::string deep =
        "C:\\Programme\\Beispiel\\Vorlagen\\Geschäftsbriefe\\Ablage\\Archiv 2024\\datei.txt";
    struct Case {
        std::string source, target;
        std::optional<std::string> line;
    };
    const Case cases[] = {
        {"D:\\Liesmich.txt", "C:\\Ziel\\Liesmich.txt", std::nullopt},
        // 6 pixels a bold character: 61 fit into the 367 pixels the path may take.
        {"D:\\datei.tx_", deep,
         "drawn: D:\\datei.tx_ -> C:\\...\\Vorlagen\\Geschäftsbriefe\\Ablage\\Archiv "
         "2024\\datei.txt"},
        {deep, "C:\\Ziel\\datei.txt",
         "drawn: C:\\...\\Vorlagen\\Geschäftsbriefe\\Ablage\\Archiv 2024\\datei.txt -> "
         "C:\\Ziel\\datei.txt"},
        // A file without a target shown (it was not installed) keeps the line short.
        {deep, "", "drawn: C:\\...\\Vorlagen\\Geschäftsbriefe\\Ablage\\Archiv 2024\\datei.txt -> "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::headless::DrawnPathsLine(model, c.source, c.target), c.line) << c.source;
    }
}

}  // namespace
}  // namespace setup::app
