#pragma once
// Values passed on the command line between tags, as in
// "<handle>918</handle>".

#include <string>
#include <string_view>

// Sets `out` to the text between the end of the first `openTag` and the start
// of the first `closeTag` in `text` (both searched from the start,
// case-sensitively), or to the empty text when either is missing or the close
// tag does not come after the open tag. `out` is always assigned.
void ExtractTaggedValue(std::u16string_view text, std::u16string_view openTag,
                        std::u16string_view closeTag, std::u16string& out);
