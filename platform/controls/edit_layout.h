#pragma once
// Line layout of a multi-line edit control: CR LF (and a lone LF) end a
// line, and lines wrap inside the formatting width at spaces and between
// Chinese characters; a word wider than the width is broken between
// characters.

#include <functional>
#include <string_view>
#include <vector>

namespace tevorin::controls {

struct EditLine {
    size_t start = 0;   // offset of the first character in the text
    size_t length = 0;  // characters shown, without the line break
};

// Width in pixels of a piece of text in the control's font.
using TextWidth = std::function<int(std::u16string_view)>;

// Always at least one line (an empty text has one empty line). A width below
// 1 wraps nothing: every paragraph is one line.
std::vector<EditLine> LayoutEditText(std::u16string_view text, int width,
                                     const TextWidth& measure);

}  // namespace tevorin::controls
