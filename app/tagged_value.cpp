#include "app/tagged_value.h"

void ExtractTaggedValue(std::u16string_view text, std::u16string_view openTag,
                        std::u16string_view closeTag, std::u16string& out) {
    const std::size_t open = text.find(openTag);
    const std::size_t close = text.find(closeTag);
    // The close tag found first may start inside the open tag or overlap its
    // value's start; only a close tag at or after the open tag's end yields a
    // value, so the length below can never be negative.
    if (open == std::u16string_view::npos || close == std::u16string_view::npos ||
        close <= open || close < open + openTag.size()) {
        out.clear();
        return;
    }
    const std::size_t start = open + openTag.size();
    out.assign(text.substr(start, close - start));
}
