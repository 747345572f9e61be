#include "platform/controls/edit_layout.h"

namespace tevorin::controls {

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

// Characters of scripts written without spaces: each may stand on its own.
bool BreaksAnywhere(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x3000 && c <= 0x303F);
}

// Punctuation that must not start a line, and punctuation that must not end one.
bool ClosingPunctuation(char16_t c) {
    return std::u16string_view(u"，。！？；：、）》」』】,.!?;:)").find(c) != std::u16string_view::npos;
}
bool OpeningPunctuation(char16_t c) {
    return std::u16string_view(u"（《「『【(").find(c) != std::u16string_view::npos;
}

// Length of the unit that starts at `at`: a run of spaces, a run of
// ordinary word characters, or one character of a script without spaces,
// kept together with punctuation that must stay next to it.
size_t UnitLength(std::u16string_view text, size_t at) {
    const char16_t first = text[at];
    size_t end = at + 1;
    if (IsSpace(first)) {
        while (end < text.size() && IsSpace(text[end])) ++end;
        return end - at;
    }
    if (BreaksAnywhere(first) || OpeningPunctuation(first)) {
        while (OpeningPunctuation(text[end - 1]) && end < text.size()) ++end;
    } else {
        while (end < text.size() && !IsSpace(text[end]) && !BreaksAnywhere(text[end]) &&
               !OpeningPunctuation(text[end])) {
            ++end;
        }
    }
    while (end < text.size() && ClosingPunctuation(text[end])) ++end;
    // A surrogate pair is never split.
    if (end < text.size() && text[end] >= 0xDC00 && text[end] <= 0xDFFF) ++end;
    return end - at;
}

void WrapParagraph(std::u16string_view text, size_t begin, size_t end, int width,
                   const TextWidth& measure, std::vector<EditLine>& lines) {
    if (width < 1 || begin == end) {
        lines.push_back({begin, end - begin});
        return;
    }
    size_t lineStart = begin;
    size_t at = begin;
    int lineWidth = 0;
    while (at < end) {
        const size_t length = std::min(UnitLength(text, at), end - at);
        const std::u16string_view unit = text.substr(at, length);
        const int unitWidth = measure(unit);
        if (IsSpace(unit[0])) {
            // Spaces hang at the end of a line instead of starting the next.
            lineWidth += unitWidth;
            at += length;
            continue;
        }
        if (lineWidth + unitWidth <= width) {
            lineWidth += unitWidth;
            at += length;
            continue;
        }
        if (at > lineStart) {
            size_t shown = at - lineStart;
            while (shown > 0 && IsSpace(text[lineStart + shown - 1])) --shown;
            lines.push_back({lineStart, shown});
            lineStart = at;
            lineWidth = 0;
            continue;
        }
        // A unit wider than the whole line: break it between characters,
        // keeping at least one character per line.
        size_t fit = 1;
        while (fit < length && measure(unit.substr(0, fit + 1)) <= width) ++fit;
        if (fit < length && unit[fit] >= 0xDC00 && unit[fit] <= 0xDFFF) ++fit;
        lines.push_back({lineStart, fit});
        at += fit;
        lineStart = at;
        lineWidth = 0;
    }
    size_t shown = end - lineStart;
    while (shown > 0 && IsSpace(text[lineStart + shown - 1])) --shown;
    if (shown > 0 || lines.empty() || lineStart == begin) lines.push_back({lineStart, shown});
}

}  // namespace

std::vector<EditLine> LayoutEditText(std::u16string_view text, int width,
                                     const TextWidth& measure) {
    std::vector<EditLine> lines;
    size_t paragraph = 0;
    while (true) {
        size_t end = paragraph;
        while (end < text.size() && text[end] != u'\n' &&
               !(text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n')) {
            ++end;
        }
        WrapParagraph(text, paragraph, end, width, measure, lines);
        if (end >= text.size()) break;
        paragraph = end + (text[end] == u'\r' ? 2 : 1);
    }
    return lines;
}

}  // namespace tevorin::controls
