#include "tools/desktop/tool_text.h"

#include "platform/core/text.h"

namespace desktop_tool {

std::string EscapeText(std::u16string_view text) {
    std::string out;
    for (char c : Utf16ToUtf8(text)) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string FormatRect(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(static_cast<long long>(rect.right) - rect.left) + "," +
           std::to_string(static_cast<long long>(rect.bottom) - rect.top);
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view text, std::uint64_t max) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (digit > max || value > (max - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

std::optional<std::uint64_t> ParseMessageParameter(std::string_view text) {
    if (!text.empty() && text[0] == '-') {
        const std::string_view digits = text.substr(1);
        if (digits.starts_with("0x") || digits.starts_with("0X")) return std::nullopt;
        auto magnitude = ParseUnsigned(digits, std::uint64_t{1} << 63);
        if (!magnitude) return std::nullopt;
        return ~*magnitude + 1;
    }
    return ParseUnsigned(text, UINT64_MAX);
}

std::optional<long long> ParseSeconds(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    constexpr long long kOneDay = 86400;
    long long seconds = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        seconds = seconds * 10 + (c - '0');
        if (seconds > kOneDay) return std::nullopt;
    }
    if (dot != std::string_view::npos && fraction.empty()) return std::nullopt;
    long long milliseconds = 0;
    long long scale = 100;
    for (char c : fraction) {
        if (c < '0' || c > '9') return std::nullopt;
        milliseconds += (c - '0') * scale;
        scale /= 10;
    }
    const long long total = seconds * 1000 + milliseconds;
    if (total > kOneDay * 1000) return std::nullopt;
    return total;
}

}  // namespace desktop_tool
