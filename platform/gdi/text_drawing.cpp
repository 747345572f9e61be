#include "platform/gdi/text_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/system_palette.h"

namespace {

std::u16string_view TextOf(const char16_t* text, int count) {
    if (text == nullptr) return {};
    if (count < 0) return std::u16string_view(text);
    return std::u16string_view(text, static_cast<std::size_t>(count));
}

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// Clip narrowed for one call and put back afterwards.
class ClipScope {
  public:
    ClipScope(DeviceContext& dc, const RECT* windowRect) : dc_(dc), saved_(dc.ClipInFramebuffer()) {
        if (windowRect != nullptr) dc_.IntersectClip(*windowRect);
    }
    ~ClipScope() { dc_.SetClipInFramebuffer(saved_); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

  private:
    DeviceContext& dc_;
    RECT saved_;
};

void DrawGlyph(DeviceContext& dc, const GlyphImage& glyph, int penX, int baseline, COLORREF color) {
    const int left = penX + glyph.left;
    const int top = baseline - glyph.top;
    for (int row = 0; row < glyph.height; ++row) {
        const std::uint8_t* coverage =
            glyph.coverage.data() + static_cast<std::size_t>(row) * glyph.width;
        for (int column = 0; column < glyph.width; ++column)
            dc.Blend(left + column, top + row, color, coverage[column]);
    }
}

// Underline and strike-out lines of the font, across [x, x + width).
void DrawFontLines(DeviceContext& dc, const LOGFONTW& font, const FontMetrics& metrics, int x,
                   int baseline, int width) {
    const int thickness = std::max(1, metrics.height / 14);
    if (font.lfUnderline)
        dc.Fill(RECT{x, baseline + 1, x + width, baseline + 1 + thickness}, dc.textColor);
    if (font.lfStrikeOut) {
        const int y = baseline - metrics.ascent / 3;
        dc.Fill(RECT{x, y, x + width, y + thickness}, dc.textColor);
    }
}

// One laid-out line of DrawTextW: units [begin, end) of the shown text.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    int width = 0;
    bool ellipsis = false;
};

// The text as shown after prefix processing, and the unit to underline.
struct ShownText {
    std::u16string text;
    std::size_t underlined = std::u16string::npos;
};

ShownText ProcessPrefixes(std::u16string_view text, bool enabled) {
    ShownText shown;
    if (!enabled) {
        shown.text.assign(text);
        return shown;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            shown.text.push_back(text[i]);
            continue;
        }
        if (i + 1 >= text.size()) break;  // a lone trailing '&' shows nothing
        if (text[i + 1] != u'&') shown.underlined = shown.text.size();
        shown.text.push_back(text[i + 1]);
        ++i;
    }
    return shown;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0x3000;
}

// Chinese, Japanese and Korean characters: a line may break on either side.
bool IsCjk(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// Punctuation that must not start a line.
bool IsClosingPunctuation(char16_t c) {
    static constexpr std::u16string_view kClosing = u"，。、．！？；：）》」』】〕〉”’…%,.!?;:)]}";
    return kClosing.find(c) != std::u16string_view::npos;
}

// Punctuation that must not end a line.
bool IsOpeningPunctuation(char16_t c) {
    static constexpr std::u16string_view kOpening = u"（《「『【〔〈“‘([{";
    return kOpening.find(c) != std::u16string_view::npos;
}

// True when a line may end before unit i (and after unit i - 1).
bool CanBreakBefore(std::u16string_view text, std::size_t i) {
    if (i == 0 || i >= text.size()) return false;
    const char16_t before = text[i - 1];
    const char16_t after = text[i];
    if (IsClosingPunctuation(after) || IsOpeningPunctuation(before)) return false;
    if (IsSpace(before) && !IsSpace(after)) return true;
    return IsCjk(before) || IsCjk(after);
}

struct Layout {
    const std::u16string& text;
    const TextRun& run;
    int tabWidth;  // 0: tabs are ordinary characters

    // Advance of unit i when the line so far is `pen` wide.
    int Advance(std::size_t i, int pen) const {
        if (tabWidth > 0 && text[i] == u'\t') return tabWidth - pen % tabWidth;
        return run.advances[i];
    }

    int Width(std::size_t begin, std::size_t end) const {
        int pen = 0;
        for (std::size_t i = begin; i < end; ++i) pen += Advance(i, pen);
        return pen;
    }

    // Width without the spaces at the end of the line.
    int TrimmedWidth(std::size_t begin, std::size_t end) const {
        while (end > begin && IsSpace(text[end - 1])) --end;
        return Width(begin, end);
    }
};

void BreakParagraph(const Layout& layout, std::size_t begin, std::size_t end, bool wordBreak,
                    int maxWidth, std::vector<Line>* lines) {
    const std::u16string& text = layout.text;
    if (!wordBreak || begin == end) {
        lines->push_back(Line{begin, end, layout.Width(begin, end)});
        return;
    }
    std::size_t lineStart = begin;
    while (lineStart < end) {
        int pen = 0;
        std::size_t i = lineStart;
        std::size_t lastBreak = 0;  // 0: no break opportunity yet on this line
        for (; i < end; ++i) {
            if (i > lineStart && CanBreakBefore(text, i)) lastBreak = i;
            const int advance = layout.Advance(i, pen);
            // Spaces may hang past the edge; they are not drawn at a break.
            if (pen + advance > maxWidth && i > lineStart && !IsSpace(text[i])) break;
            pen += advance;
        }
        std::size_t lineEnd = end;
        if (i < end) {
            // Break at the last opportunity, or between characters when the
            // line is one word wider than the rectangle.
            lineEnd = lastBreak > lineStart ? lastBreak : i;
            // A low surrogate stays with its high surrogate.
            if (lineEnd > lineStart + 1 && text[lineEnd] >= 0xDC00 && text[lineEnd] <= 0xDFFF)
                --lineEnd;
        }
        lines->push_back(Line{lineStart, lineEnd, layout.TrimmedWidth(lineStart, lineEnd)});
        lineStart = lineEnd;
        // The next line starts at its first non-space character.
        while (lineStart < end && i < end && IsSpace(text[lineStart])) ++lineStart;
    }
}

void DrawRunPart(DeviceContext& dc, const Layout& layout, const Line& line, int x, int baseline) {
    // Pen positions are recomputed per line so that tabs and line starts
    // line up with what the breaking measured.
    int pen = 0;
    std::size_t glyph = 0;
    const auto& glyphs = layout.run.glyphs;
    while (glyph < glyphs.size() && glyphs[glyph].unit < line.begin) ++glyph;
    for (std::size_t i = line.begin; i < line.end; ++i) {
        const int advance = layout.Advance(i, pen);
        if (glyph < glyphs.size() && glyphs[glyph].unit == i) {
            if (glyphs[glyph].image && !(layout.tabWidth > 0 && layout.text[i] == u'\t'))
                DrawGlyph(dc, *glyphs[glyph].image, x + pen, baseline, dc.textColor);
            ++glyph;
        }
        pen += advance;
    }
}

}  // namespace

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, const char16_t* text,
                 int count, const int* advances) {
    if (dc == nullptr) return FALSE;
    if ((options & ETO_OPAQUE) && rect != nullptr) dc->Fill(*rect, dc->bkColor);
    const std::u16string_view shown = TextOf(text, count);
    if (shown.empty()) return TRUE;
    const LOGFONTW font = dc->Font()->description;
    const FontMetrics metrics = MeasureFont(font);
    const TextRun run = LayoutText(font, shown);
    ClipScope clip(*dc, (options & ETO_CLIPPED) ? rect : nullptr);
    std::vector<int> pens(shown.size() + 1, 0);
    for (std::size_t i = 0; i < shown.size(); ++i)
        pens[i + 1] = pens[i] + (advances != nullptr ? advances[i] : run.advances[i]);
    const int width = pens.back();
    if (dc->bkMode == OPAQUE) dc->Fill(RECT{x, y, x + width, y + metrics.height}, dc->bkColor);
    const int baseline = y + metrics.ascent;
    for (const PlacedGlyph& glyph : run.glyphs)
        if (glyph.image)
            DrawGlyph(*dc, *glyph.image, x + pens[glyph.unit], baseline, dc->textColor);
    DrawFontLines(*dc, font, metrics, x, baseline, width);
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, const char16_t* text, int count) {
    return ExtTextOutW(dc, x, y, 0, nullptr, text, count, nullptr);
}

int DrawTextW(HDC dc, const char16_t* text, int count, RECT* rect, UINT format) {
    if (dc == nullptr || rect == nullptr) return 0;
    const LOGFONTW font = dc->Font()->description;
    const FontMetrics metrics = MeasureFont(font);
    const ShownText shown = ProcessPrefixes(TextOf(text, count), (format & DT_NOPREFIX) == 0);
    const TextRun run = LayoutText(font, shown.text);
    const Layout layout{shown.text, run,
                        (format & DT_EXPANDTABS) ? 8 * std::max(metrics.aveCharWidth, 1) : 0};
    const int maxWidth = rect->right - rect->left;

    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(Line{0, shown.text.size(), layout.Width(0, shown.text.size())});
    } else {
        std::size_t begin = 0;
        for (std::size_t i = 0; i <= shown.text.size(); ++i) {
            const bool end = i == shown.text.size();
            if (!end && shown.text[i] != u'\r' && shown.text[i] != u'\n') continue;
            BreakParagraph(layout, begin, i, (format & DT_WORDBREAK) != 0, maxWidth, &lines);
            if (!end && shown.text[i] == u'\r' && i + 1 < shown.text.size() &&
                shown.text[i + 1] == u'\n')
                ++i;
            begin = i + 1;
        }
    }
    if (format & DT_END_ELLIPSIS) {
        for (Line& line : lines) line.ellipsis = line.width > maxWidth;
    }

    const int lineHeight = metrics.height;
    const int textHeight = lineHeight * static_cast<int>(lines.size());
    int top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = rect->bottom - lineHeight;
    }
    const int result = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))
                           ? top - rect->top + textHeight
                           : textHeight;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, line.ellipsis ? maxWidth : line.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + textHeight;
        return result;
    }

    ClipScope clip(*dc, (format & DT_NOCLIP) ? nullptr : rect);
    int y = top;
    for (const Line& line : lines) {
        // An ellipsis line is drawn as its own shorter text.
        std::u16string cut;
        TextRun cutRun;
        Line shownLine = line;
        const Layout* lineLayout = &layout;
        Layout cutLayout{cut, cutRun, layout.tabWidth};
        if (line.ellipsis) {
            const int dotsWidth = MeasureTextExtent(font, u"...").cx;
            std::size_t end = line.end;
            while (end > line.begin && layout.Width(line.begin, end) + dotsWidth > maxWidth) --end;
            cut = shown.text.substr(line.begin, end - line.begin) + u"...";
            cutRun = LayoutText(font, cut);
            shownLine = Line{0, cut.size(), layout.Width(line.begin, end) + dotsWidth};
            lineLayout = &cutLayout;
        }
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (maxWidth - shownLine.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - shownLine.width;
        if (dc->bkMode == OPAQUE)
            dc->Fill(RECT{x, y, x + shownLine.width, y + lineHeight}, dc->bkColor);
        const int baseline = y + metrics.ascent;
        DrawRunPart(*dc, *lineLayout, shownLine, x, baseline);
        DrawFontLines(*dc, font, metrics, x, baseline, shownLine.width);
        if (!line.ellipsis && shown.underlined >= line.begin && shown.underlined < line.end) {
            const int underlineX = x + layout.Width(line.begin, shown.underlined);
            const int underlineWidth = run.advances[shown.underlined];
            dc->Fill(RECT{underlineX, baseline + 1, underlineX + underlineWidth, baseline + 2},
                     dc->textColor);
        }
        y += lineHeight;
    }
    return result;
}

BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int count, SIZE* size) {
    if (dc == nullptr || size == nullptr) return FALSE;
    *size = MeasureTextExtent(dc->Font()->description, TextOf(text, count));
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
    if (dc == nullptr || metrics == nullptr) return FALSE;
    const LOGFONTW& font = dc->Font()->description;
    const FontMetrics m = MeasureFont(font);
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internalLeading;
    metrics->tmAveCharWidth = m.aveCharWidth;
    metrics->tmMaxCharWidth = m.maxCharWidth;
    metrics->tmWeight = m.weight;
    metrics->tmItalic = m.italic ? 1 : 0;
    metrics->tmUnderlined = font.lfUnderline;
    metrics->tmStruckOut = font.lfStrikeOut;
    metrics->tmCharSet = font.lfCharSet;
    return TRUE;
}

int PointsToFontHeight(int points) {
    return -MulDiv(points, kScreenDpi, 72);
}

SIZE DialogBaseUnits(const LOGFONTW& font) {
    const FontMetrics m = MeasureFont(font);
    return SIZE{m.aveCharWidth, m.height};
}

int DialogUnitsToPixelsX(int units, SIZE baseUnits) {
    return MulDiv(units, baseUnits.cx, 4);
}
int DialogUnitsToPixelsY(int units, SIZE baseUnits) {
    return MulDiv(units, baseUnits.cy, 8);
}

SIZE MeasureTextExtent(const LOGFONTW& font, std::u16string_view text) {
    const FontMetrics metrics = MeasureFont(font);
    const int width = text.empty() ? 0 : LayoutText(font, text).width;
    return SIZE{width, metrics.height};
}
