#include "platform/core/text.h"

#include <climits>
#include <cstdint>

bool IsWhiteSpace(char16_t c) {
    if (c <= 0x20) return c == 0x20 || (c >= 0x09 && c <= 0x0D);
    if (c < 0x85) return false;
    switch (c) {
        case 0x0085:
        case 0x00A0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

std::u16string TrimWhiteSpace(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsWhiteSpace(text[begin])) ++begin;
    while (end > begin && IsWhiteSpace(text[end - 1])) --end;
    return std::u16string(text.substr(begin, end - begin));
}

std::u16string ToLowerCase(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return result;
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    auto fold = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
    if (from.empty()) return std::u16string(text);
    std::u16string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (;;) {
        std::size_t found = text.find(from, start);
        if (found == std::u16string_view::npos) break;
        result.append(text.substr(start, found - start));
        result.append(to);
        start = found + from.size();
    }
    result.append(text.substr(start));
    return result;
}

namespace {

// Parses like the wide C runtime and saturates at the 32-bit signed range.
std::int32_t ParseDecimal(const char16_t* text) {
    if (text == nullptr) return 0;
    while (IsWhiteSpace(*text)) ++text;
    bool negative = false;
    if (*text == u'+' || *text == u'-') {
        negative = *text == u'-';
        ++text;
    }
    // Accumulate the magnitude in 64 bits and stop growing once it is past
    // the range, so that any number of digits is safe.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    std::int64_t magnitude = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (*text - u'0');
    }
    if (magnitude > limit) magnitude = limit;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

int _wtoi(const char16_t* text) {
    return ParseDecimal(text);
}

long _wtol(const char16_t* text) {
    return ParseDecimal(text);
}
