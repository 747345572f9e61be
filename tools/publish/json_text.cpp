#include "tools/publish/json_text.h"

#include <cstdio>

#include "platform/core/text.h"

namespace {

void AppendEscape(std::string& out, char16_t unit) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
    out += escape;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

std::string JsonString(std::u16string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'"') {
            out += "\\\"";
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += Utf16ToUtf8(text.substr(i, 2));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendEscape(out, c);
        } else {
            out += Utf16ToUtf8(text.substr(i, 1));
        }
    }
    out += '"';
    return out;
}
