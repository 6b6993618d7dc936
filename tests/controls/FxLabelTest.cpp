#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/FxLabel.h"
#include "controls/PathShortening.h"
#include "controls/RecordingCanvas.h"
#include "support/EmulatedWindows.h"

namespace setup::controls {
namespace {

// The default font is 11 pixels high: characters 5 pixels wide, lines 11 high.
constexpr int kChar = 5;
constexpr TColor kClassicLight = 0xDFDFDF;  // shades of the classic silver button face
constexpr TColor kClassicDark = 0x737373;

struct Host final : FxLabelHost {
    void Repaint(TFxLabel&) override { ++repaints; }
    void BoundsChanged(TFxLabel&) override { ++boundsChanges; }
    void CursorChanged(TFxLabel&) override { ++cursorChanges; }
    void OpenLink(std::string_view target) override {
        log.push_back("open " + std::string(target));
    }
    int repaints = 0, boundsChanges = 0, cursorChanges = 0;
    std::vector<std::string> log;
};

class FxLabelTest : public ::testing::Test {
  protected:
    // A label of the given size that does not follow its text.
    TFxLabel& Fixed(int width, int height, std::string_view caption = "Abc") {
        label.SetAutoSize(false);
        label.SetCaption(caption);
        label.SetBounds(0, 0, width, height);
        return label;
    }
    std::vector<CanvasOperation> Painted() {
        RecordingCanvas canvas;
        label.Paint(canvas);
        return canvas.Operations();
    }
    std::vector<CanvasOperation> PaintedOf(CanvasOperation::Kind kind) {
        std::vector<CanvasOperation> result;
        for (auto& op : Painted()) {
            if (op.kind == kind) {
                result.push_back(op);
            }
        }
        return result;
    }

    testing::EmulatedWindows windows;
    RecordingCanvas screen;
    Host host;
    TFxLabel label{screen, host};
};

TEST_F(FxLabelTest, PathsLoseFoldersFromTheFrontThenTheDrive) {
    struct Case {
        const char* path;
        int fitsChars;
        const char* shown;
    };
    const char* const kLong = "C:\\Programme\\Firma\\Werkzeuge\\datei.txt";
    const Case cases[] = {
        {kLong, 38, kLong},
        {kLong, 37, "C:\\...\\Firma\\Werkzeuge\\datei.txt"},
        {kLong, 31, "C:\\...\\Werkzeuge\\datei.txt"},
        {kLong, 25, "C:\\...\\datei.txt"},
        {kLong, 15, "...\\datei.txt"},
        {kLong, 12, "datei.txt"},
        {kLong, 3, "datei.txt"},  // wider than the label: the bare name
        {"\\\\server\\share\\dir\\f.txt", 22, "\\...\\share\\dir\\f.txt"},
        {"\\\\server\\share\\dir\\f.txt", 9, "...\\f.txt"},
        {"Daten\\Unter\\f.txt", 16, "...\\Unter\\f.txt"},
        {"Daten\\Unter\\f.txt", 8, "f.txt"},
        {"C:datei.txt", 10, "datei.txt"},
        {"", 0, ""},
    };
    RecordingCanvas canvas;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.path << " in " << c.fitsChars);
        EXPECT_EQ(ShortenPath(c.path, c.fitsChars * kChar, canvas), c.shown);
    }
    // The label shortens to its width less 10 pixels, with its own font.
    Fixed(18 * kChar + 10, 13, kLong).SetStyle(lsPath);
    EXPECT_EQ(label.GetLabelText(), "C:\\...\\datei.txt");
    EXPECT_EQ(label.Caption(), kLong);
    label.SetFont({"Arial", 11, fs::kBold, clWindowText});  // 6 pixels a character
    EXPECT_EQ(label.GetLabelText(), "...\\datei.txt");
}

TEST_F(FxLabelTest, AutoSizeAddsOneSideOfEveryMargin) {
    struct Case {
        const char* caption;
        TLabelBevel bevel;
        std::uint16_t bevelWidth, border, highlight, shadow;  // offsets; 0: copy off
        bool accel;
        int width, height;
    };
    const Case cases[] = {
        {"Abc", bvNone, 1, 0, 0, 0, true, 15, 11},
        {"", bvNone, 1, 0, 0, 0, true, 5, 11},  // one blank keeps a line
        {"&", bvNone, 1, 0, 0, 0, true, 5, 11},
        {"A&&B", bvNone, 1, 0, 0, 0, true, 15, 11},
        {"A&&B", bvNone, 1, 0, 0, 0, false, 20, 11},  // measured as drawn, "&&" and all
        {"Abc", bvRaised, 1, 0, 0, 0, true, 17, 13},
        {"Abc", bvSingle, 1, 0, 0, 0, true, 18, 14},
        {"Abc", bvLowered, 2, 3, 0, 0, true, 25, 21},
        {"Abc", bvNone, 1, 2, 0, 0, true, 19, 15},
        {"Abc", bvNone, 1, 0, 2, 3, true, 20, 16},
        {"Abc", bvFrame, 1, 0, 1, 0, true, 18, 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.caption << " bevel " << int(c.bevel));
        TFxLabel fresh(screen, host);
        fresh.SetBounds(7, 9, 100, 50);
        fresh.SetBevelStyle(c.bevel);
        fresh.SetBevelWidth(c.bevelWidth);
        fresh.SetBorderWidth(c.border);
        fresh.SetShowHighlight(c.highlight != 0);
        fresh.SetHighlightOffset(c.highlight);
        fresh.SetShowShadow(c.shadow != 0);
        fresh.SetShadowOffset(c.shadow);
        fresh.SetShowAccelChar(c.accel);
        fresh.SetCaption(c.caption);
        fresh.AdjustBounds();
        EXPECT_EQ(fresh.Width(), c.width);
        EXPECT_EQ(fresh.Height(), c.height);
        EXPECT_EQ(fresh.Left(), 7);
        EXPECT_EQ(fresh.Top(), 9);
    }
    // Right alignment keeps the right edge; loading sizes once, at its end.
    label.SetBounds(100, 5, 65, 17);
    label.BeginLoading();
    label.SetAlignment(taRightJustify);
    label.SetBevelStyle(bvRaised);
    label.SetCaption("Abc");
    EXPECT_EQ(label.Width(), 65);
    const int changes = host.boundsChanges;
    label.EndLoading();
    EXPECT_EQ(host.boundsChanges, changes + 1);
    EXPECT_EQ(label.Left() + label.Width(), 165);
    EXPECT_EQ(label.Width(), 17);
}

struct TextAt {
    TColor color;
    int left, top;
};

TEST_F(FxLabelTest, TextIsPlacedByAlignmentLayoutMarginsAndCopies) {
    struct Case {
        TAlignment alignment;
        TTextLayout layout;
        TLabelBevel bevel;
        std::uint16_t bevelWidth, border;
        bool highlight, shadow;
        THighLightPos pos;
        bool enabled;
        std::vector<TextAt> texts;  // in drawing order
    };
    const TColor font = clWindowText, hl = clBtnHighlight, sh = clBtnShadow;
    // clang-format off
    const Case cases[] = {
        {taLeftJustify, tlTop, bvNone, 1, 0, false, false, hpTopLeft, true, {{font, 0, 0}}},
        {taCenter, tlCenter, bvNone, 1, 0, false, false, hpTopLeft, true, {{font, 42, 14}}},
        {taRightJustify, tlBottom, bvNone, 1, 3, false, false, hpTopLeft, true, {{font, 80, 26}}},
        {taLeftJustify, tlTop, bvRaised, 2, 1, false, false, hpTopLeft, true, {{font, 3, 3}}},
        {taLeftJustify, tlCenter, bvSingle, 1, 0, false, false, hpTopLeft, true, {{font, 2, 14}}},
        {taCenter, tlTop, bvSingle, 1, 0, false, false, hpTopLeft, true, {{font, 44, 2}}},
        {taLeftJustify, tlTop, bvNone, 1, 0, true, true, hpTopLeft, true,
            {{hl, 0, 0}, {sh, 2, 2}, {font, 1, 1}}},
        {taLeftJustify, tlTop, bvNone, 1, 0, true, true, hpTopRight, true,
            {{hl, 2, 0}, {sh, 0, 2}, {font, 1, 1}}},
        {taRightJustify, tlBottom, bvNone, 1, 0, true, true, hpTopLeft, true,
            {{hl, 82, 27}, {sh, 84, 29}, {font, 83, 28}}},
        // Disabled: embossed, without the copies.
        {taLeftJustify, tlTop, bvNone, 1, 0, true, true, hpTopLeft, false,
            {{hl, 2, 2}, {sh, 1, 1}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "alignment " << int(c.alignment) << " layout "
                                          << int(c.layout) << " bevel " << int(c.bevel));
        TFxLabel fresh(screen, host);
        fresh.SetAutoSize(false);
        fresh.SetCaption("Abc");
        fresh.SetBounds(0, 0, 100, 40);
        fresh.SetAlignment(c.alignment);
        fresh.SetLayout(c.layout);
        fresh.SetBevelStyle(c.bevel);
        fresh.SetBevelWidth(c.bevelWidth);
        fresh.SetBorderWidth(c.border);
        fresh.SetShowHighlight(c.highlight);
        fresh.SetShowShadow(c.shadow);
        fresh.SetHighlightPos(c.pos);
        fresh.SetEnabled(c.enabled);
        RecordingCanvas canvas;
        fresh.Paint(canvas);
        std::vector<TextAt> texts;
        for (const auto& op : canvas.Operations()) {
            if (op.kind == CanvasOperation::Kind::Text) {
                EXPECT_EQ(op.text, "Abc");
                EXPECT_EQ(op.rect.Width(), 3 * kChar);
                EXPECT_EQ(op.rect.Height(), 11);
                EXPECT_EQ(op.flags & 3, c.alignment == taLeftJustify ? dt::kLeft
                                        : c.alignment == taCenter    ? dt::kCenter
                                                                     : dt::kRight);
                texts.push_back({op.color, op.rect.left, op.rect.top});
            }
        }
        ASSERT_EQ(texts.size(), c.texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].color, c.texts[i].color) << i;
            EXPECT_EQ(texts[i].left, c.texts[i].left) << i;
            EXPECT_EQ(texts[i].top, c.texts[i].top) << i;
        }
    }
}

TEST_F(FxLabelTest, BevelsDrawTheirLinesInShadesOfTheBackground) {
    using Line = std::vector<TPoint>;
    const Line outerTopLeft = {{9, 0}, {0, 0}, {0, 7}}, outerBottomRight = {{0, 7}, {9, 7}, {9, 0}};
    const Line innerTopLeft = {{8, 1}, {1, 1}, {1, 6}}, innerBottomRight = {{1, 6}, {8, 6}, {8, 1}};
    struct Case {
        TLabelBevel bevel;
        std::uint16_t width;
        std::vector<std::pair<TColor, Line>> lines;
    };
    const Case cases[] = {
        {bvNone, 1, {}},
        {bvRaised, 1, {{kClassicLight, outerTopLeft}, {kClassicDark, outerBottomRight}}},
        {bvLowered, 1, {{kClassicDark, outerTopLeft}, {kClassicLight, outerBottomRight}}},
        {bvFrame, 1, {{clWindowFrame, outerTopLeft}, {clWindowFrame, outerBottomRight}}},
        {bvSingle,
         1,
         {{kClassicDark, outerTopLeft},
          {clBlack, innerTopLeft},
          {kClassicLight, outerBottomRight},
          {clSilver, innerBottomRight}}},
        {bvRaised,
         2,
         {{kClassicLight, outerTopLeft},
          {kClassicLight, innerTopLeft},
          {kClassicDark, outerBottomRight},
          {kClassicDark, innerBottomRight}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bevel " << int(c.bevel) << " width " << c.width);
        Fixed(10, 8).SetBevelStyle(c.bevel);
        label.SetBevelWidth(c.width);
        const auto ops = Painted();
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops.front().kind, CanvasOperation::Kind::Fill);
        EXPECT_EQ(ops.front().rect, (TRect{0, 0, 10, 8}));
        EXPECT_EQ(ops.front().color, clBtnFace);
        std::vector<std::pair<TColor, Line>> lines;
        for (const auto& op : ops) {
            if (op.kind == CanvasOperation::Kind::Lines) {
                lines.emplace_back(op.color, op.points);
            }
        }
        EXPECT_EQ(lines, c.lines);
    }
    label.SetTransparent(true);
    EXPECT_TRUE(PaintedOf(CanvasOperation::Kind::Fill).empty());
}

TEST_F(FxLabelTest, PresetsAndHandMadeChanges) {
    label.SetStyle(lsWindow);
    EXPECT_EQ(label.BevelStyle(), bvSingle);
    EXPECT_EQ(label.BorderWidth(), 2);
    EXPECT_EQ(label.Color(), clWindow);
    EXPECT_EQ(label.Layout(), tlCenter);
    EXPECT_EQ(label.Width(), 2 * 1 + 1 + 2 * 2 + kChar);  // a blank in frame and border
    label.SetStyle(ls3DText);
    EXPECT_TRUE(label.ShowHighlight() && label.ShowShadow());
    EXPECT_EQ(label.Color(), clBtnFace);
    label.SetColor(clAqua);
    label.SetStyle(lsLink);
    EXPECT_TRUE(label.LinkActive());
    EXPECT_EQ(label.Font().color, clNavy);
    EXPECT_EQ(label.HoverColor(), clAqua);
    EXPECT_EQ(label.HoverFontColor(), clBlue);
    EXPECT_FALSE(label.ShowAccelChar() || label.ShowHighlight() || label.BevelStyle() != bvNone);

    // Starting from the path style, each change either ends the preset or not.
    struct Case {
        const char* what;
        void (*change)(TFxLabel&);
        TLabelStyle style;
        bool repainted, resized;
    };
    const Case cases[] = {
        {"Color", [](TFxLabel& l) { l.SetColor(clWhite); }, lsCustom, true, false},
        {"same Color", [](TFxLabel& l) { l.SetColor(clBtnFace); }, lsPath, false, false},
        {"ShowShadow", [](TFxLabel& l) { l.SetShowShadow(true); }, lsCustom, true, true},
        {"ShadowOffset, no shadow", [](TFxLabel& l) { l.SetShadowOffset(4); }, lsCustom, false,
         false},
        {"HoverColor", [](TFxLabel& l) { l.SetHoverColor(clWhite); }, lsCustom, false, false},
        {"Alignment", [](TFxLabel& l) { l.SetAlignment(taCenter); }, lsPath, true, false},
        {"BorderWidth", [](TFxLabel& l) { l.SetBorderWidth(1); }, lsPath, true, true},
        {"LinkActive", [](TFxLabel& l) { l.SetLinkActive(true); }, lsPath, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFxLabel fresh(screen, host);
        fresh.SetCaption("C:\\Daten\\datei.txt");
        fresh.SetStyle(lsPath);
        const int repaints = host.repaints, resizes = host.boundsChanges;
        c.change(fresh);
        EXPECT_EQ(fresh.Style(), c.style);
        EXPECT_TRUE(fresh.ShortenFilenames());
        EXPECT_EQ(host.repaints > repaints, c.repainted);
        EXPECT_EQ(host.boundsChanges > resizes, c.resized);
    }
}

TEST_F(FxLabelTest, LinksOpenOnlyWhenEnabledActiveTypedAndAddressed) {
    struct Case {
        bool enabled, active;
        TLinkType type;
        const char* address;
        const char* opened;  // empty: nothing reaches the shell
    };
    const Case cases[] = {
        {true, true, ltEMail, "info@beispiel.de", "mailto:info@beispiel.de"},
        {true, true, ltNews, "de.comp.os", "news:de.comp.os"},
        {true, true, ltWWW, "http://www.beispiel.de/", "http://www.beispiel.de/"},
        {true, true, ltNone, "http://www.beispiel.de/", ""},
        {true, true, ltWWW, "", ""},
        {false, true, ltWWW, "http://www.beispiel.de/", ""},
        {true, false, ltWWW, "http://www.beispiel.de/", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.address << " type " << int(c.type));
        host.log.clear();
        label.SetEnabled(c.enabled);
        label.SetLinkActive(c.active);
        label.SetLinkType(c.type);
        label.SetLinkedAdress(c.address);
        label.OnClick = [&](TFxLabel&) { host.log.push_back("click"); };
        label.OnExecuteLink = [&](TFxLabel&) { host.log.push_back("execute"); };
        label.Click();
        const std::vector<std::string> expected =
            *c.opened
                ? std::vector<std::string>{"click", "execute", "open " + std::string(c.opened)}
                : std::vector<std::string>{"click"};
        EXPECT_EQ(host.log, expected);
    }
}

TEST_F(FxLabelTest, HoveringShowsTheLinkLookAndAlwaysEnds) {
    Fixed(60, 20);
    label.SetCursor(7);
    label.SetEnabled(false);
    label.SetLinkActive(true);
    label.MouseEnter();
    EXPECT_FALSE(label.Hovering());  // a disabled link does not react
    label.SetEnabled(true);
    label.SetHoverColor(clWhite);
    label.SetHoverFontColor(label.Font().color);
    int entered = 0;
    label.OnMouseEnter = [&](TFxLabel&) { ++entered; };
    label.MouseEnter();
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(label.Hovering());
    EXPECT_EQ(label.Cursor(), kLinkCursor);
    const auto fills = PaintedOf(CanvasOperation::Kind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].color, clWhite);
    auto texts = PaintedOf(CanvasOperation::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].color, clWindowText);  // hover text colour equals the font's
    EXPECT_EQ(texts[0].font.styles, fs::kUnderline);
    label.SetUnderlineOnEnter(false);
    EXPECT_EQ(PaintedOf(CanvasOperation::Kind::Text)[0].font.styles, 0);

    // The link switched off under the mouse: leaving still ends the hover.
    label.SetLinkActive(false);
    label.MouseLeave();
    EXPECT_FALSE(label.Hovering());
    EXPECT_EQ(label.Cursor(), 7);
    EXPECT_EQ(PaintedOf(CanvasOperation::Kind::Fill)[0].color, clBtnFace);
}

TEST_F(FxLabelTest, AcceleratorFocusesTheControl) {
    struct Target final : FocusTarget {
        bool CanFocus() override { return canFocus; }
        void SetFocus() override { ++focused; }
        bool canFocus = true;
        int focused = 0;
    } target;
    struct Case {
        const char* caption;
        char key;
        bool enabled, accel, canFocus, handled;
    };
    const Case cases[] = {
        {"&Quelle", 'q', true, true, true, true},    {"&Quelle", 'Q', true, true, true, true},
        {"&Quelle", 'u', true, true, true, false},   {"A&&Quelle", 'q', true, true, true, false},
        {"&&A&Quelle", 'q', true, true, true, true}, {"&Quelle", 'q', false, true, true, false},
        {"&Quelle", 'q', true, false, true, false},  {"&Quelle", 'q', true, true, false, false},
    };
    label.SetFocusControl(&target);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.caption << " " << c.key);
        label.SetCaption(c.caption);
        label.SetEnabled(c.enabled);
        label.SetShowAccelChar(c.accel);
        target.canFocus = c.canFocus;
        target.focused = 0;
        EXPECT_EQ(label.DialogChar(c.key), c.handled);
        EXPECT_EQ(target.focused, c.handled ? 1 : 0);
    }
    label.ComponentRemoved(&target);
    EXPECT_EQ(label.FocusControl(), nullptr);
}

}  // namespace
}  // namespace setup::controls
