#include "controls/RecordingCanvas.h"

#include <algorithm>
#include <utility>

namespace setup::controls {
namespace {

int LineWidth(std::string_view line, const FontSpec& font, unsigned flags) {
    const int charWidth = RecordingCanvas::CharWidth(font);
    const int tabWidth = 8 * charWidth;
    int x = 0;
    for (char c : line) {
        x = (c == '\t' && (flags & dt::kExpandTabs) != 0) ? (x / tabWidth + 1) * tabWidth
                                                          : x + charWidth;
    }
    return x;
}

std::string WithoutPrefixes(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (++i == text.size()) {
                break;
            }
        }
        shown += text[i];
    }
    return shown;
}

// Greedy word breaking of one line: a word moves to the next line when it would
// pass maxWidth; a word wider than maxWidth stays whole on a line of its own.
// Blanks at a break are dropped.
void BreakWords(std::string_view line, const FontSpec& font, int maxWidth, unsigned flags,
                std::vector<std::string>& lines) {
    std::string current;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t wordStart = line.find_first_not_of(' ', at);
        if (wordStart == std::string_view::npos) {
            break;
        }
        const std::size_t wordEnd = std::min(line.find(' ', wordStart), line.size());
        const std::string_view word = line.substr(wordStart, wordEnd - wordStart);
        std::string candidate =
            current + std::string(line.substr(at, wordStart - at)) + std::string(word);
        if (!current.empty() && LineWidth(candidate, font, flags) > maxWidth) {
            lines.push_back(std::move(current));
            current = std::string(word);
        } else {
            current = std::move(candidate);
        }
        at = wordEnd;
    }
    lines.push_back(std::move(current));
}

}  // namespace

int RecordingCanvas::CharWidth(const FontSpec& font) {
    return std::max(1, font.height / 2) + ((font.styles & fs::kBold) != 0 ? 1 : 0);
}

std::vector<std::string> RecordingCanvas::Lines(std::string_view text, const FontSpec& font,
                                                int maxWidth, unsigned flags) {
    const std::string shown =
        (flags & dt::kNoPrefix) != 0 ? std::string(text) : WithoutPrefixes(text);
    std::vector<std::string> lines;
    if (shown.empty()) {
        return lines;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = shown.find_first_of("\r\n", start);
        const std::string_view line =
            std::string_view(shown).substr(start, end == std::string::npos ? end : end - start);
        if ((flags & dt::kWordBreak) != 0) {
            BreakWords(line, font, maxWidth, flags, lines);
        } else {
            lines.emplace_back(line);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + (shown.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

void RecordingCanvas::FillRect(const TRect& rect, TColor color) {
    operations_.push_back({CanvasOperation::Kind::Fill, rect, color, {}, 0, {}, {}});
}

int RecordingCanvas::TextWidth(std::string_view text) {
    return LineWidth(text, font_, 0);
}

TRect RecordingCanvas::MeasureText(std::string_view text, const TRect& rect, unsigned flags) {
    const std::vector<std::string> lines = Lines(text, font_, rect.Width(), flags);
    int width = 0;
    for (const std::string& line : lines) {
        width = std::max(width, LineWidth(line, font_, flags));
    }
    const int height = static_cast<int>(lines.size()) * font_.height;
    return {rect.left, rect.top, rect.left + width, rect.top + height};
}

void RecordingCanvas::DrawString(std::string_view text, const TRect& rect, unsigned flags,
                                 TColor color) {
    operations_.push_back(
        {CanvasOperation::Kind::Text, rect, color, std::string(text), flags, font_, {}});
}

void RecordingCanvas::Polyline(std::span<const TPoint> points, TColor color) {
    operations_.push_back({CanvasOperation::Kind::Lines,
                           {},
                           color,
                           {},
                           0,
                           {},
                           std::vector<TPoint>(points.begin(), points.end())});
}

}  // namespace setup::controls
