#pragma once
// Text measurement and glyph rendering over FreeType, for the fonts that
// LOGFONTW records describe.
//
// Nothing starts until text is first measured or drawn: no font file is
// opened and fontconfig is not initialised before that, so windows that are
// created but never painted cost no font work.
//
// Threads: one lock guards the engine (FreeType faces are not thread-safe),
// so painting on the UI thread and measuring on other threads may overlap.
// Glyph images are immutable and shared; callers keep them past the lock.
//
// Sizes: lfHeight < 0 is the character (em) height in pixels, lfHeight > 0 is
// the cell height (ascent + descent), 0 a default of 12 pixels em. A weight of
// 600 or more is bold: a bold face when one is installed, else the regular
// face emboldened. Characters the face lacks come from the fallback fonts
// (a CJK-capable face first), drawn on the same baseline.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"

// An anti-aliased glyph: one coverage byte per pixel, 0 = none, 255 = full.
struct GlyphImage {
    int width = 0;
    int height = 0;
    int left = 0;  // pixels from the pen position to the first column
    int top = 0;   // pixels from the baseline up to the first row
    std::vector<std::uint8_t> coverage;
};

struct PlacedGlyph {
    std::shared_ptr<const GlyphImage> image;  // null for a glyph without ink
    int penX = 0;                             // pen position from the run's start
    std::size_t unit = 0;                     // index of its first UTF-16 unit in the text
};

struct TextRun {
    std::vector<PlacedGlyph> glyphs;
    std::vector<int> advances;  // one per UTF-16 unit of the input; 0 for a low surrogate
    int width = 0;
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;  // ascent + descent: the line height
    int internalLeading = 0;
    int aveCharWidth = 0;  // (width of "A".."Z" "a".."z" / 26 + 1) / 2
    int maxCharWidth = 0;
    int weight = FW_NORMAL;
    bool italic = false;
};

// Metrics of the font; all zero when no font can be loaded at all.
FontMetrics MeasureFont(const LOGFONTW& font);

// Lays the text out on one line, from pen position 0. Every UTF-16 unit,
// control characters included, becomes a glyph of the font (or of a
// fallback font); unpaired surrogates show as U+FFFD.
TextRun LayoutText(const LOGFONTW& font, std::u16string_view text);

// True once any text has been measured or drawn in this process.
bool FontWorkStarted();
