#include <cstdarg>
#include <cstdint>

#include "platform/core/text.h"

namespace {

constexpr int kMaxFieldWidth = 4096;

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    bool plusSign = false;
    bool spaceSign = false;
    int width = 0;
    int precision = -1;  // -1: none given
    int longCount = 0;   // number of 'l' modifiers
};

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads a decimal field number; stops growing at the cap so that long digit
// runs cannot overflow.
int ReadNumber(const char16_t*& p) {
    int value = 0;
    while (IsDigit(*p)) {
        if (value < kMaxFieldWidth) value = value * 10 + (*p - u'0');
        ++p;
    }
    return value < kMaxFieldWidth ? value : kMaxFieldWidth;
}

void Pad(std::u16string& out, int count, char16_t fill) {
    if (count > 0) out.append(static_cast<std::size_t>(count), fill);
}

// Writes sign/prefix, then digits, padded to the field width.
void EmitNumber(std::u16string& out, const Spec& spec, std::u16string_view sign,
                std::u16string digits) {
    if (spec.precision >= 0) {
        if (spec.precision == 0 && digits == u"0") digits.clear();
        if (static_cast<int>(digits.size()) < spec.precision) {
            digits.insert(0, static_cast<std::size_t>(spec.precision) - digits.size(), u'0');
        }
    }
    const int length = static_cast<int>(sign.size() + digits.size());
    const int padding = spec.width - length;
    if (spec.leftAlign) {
        out.append(sign);
        out.append(digits);
        Pad(out, padding, u' ');
    } else if (spec.zeroPad && spec.precision < 0) {
        out.append(sign);
        Pad(out, padding, u'0');
        out.append(digits);
    } else {
        Pad(out, padding, u' ');
        out.append(sign);
        out.append(digits);
    }
}

std::u16string Digits(unsigned long long value, unsigned base, bool upper) {
    const char16_t* set = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    char16_t buffer[64];
    int n = 0;
    do {
        buffer[n++] = set[value % base];
        value /= base;
    } while (value != 0);
    std::u16string digits;
    while (n > 0) digits.push_back(buffer[--n]);
    return digits;
}

void EmitText(std::u16string& out, const Spec& spec, std::u16string_view text) {
    if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision)) {
        text = text.substr(0, static_cast<std::size_t>(spec.precision));
    }
    const int padding = spec.width - static_cast<int>(text.size());
    if (!spec.leftAlign) Pad(out, padding, u' ');
    out.append(text);
    if (spec.leftAlign) Pad(out, padding, u' ');
}

}  // namespace

std::u16string FormatText(const char16_t* format, ...) {
    std::u16string out;
    if (format == nullptr) return out;
    va_list args;
    va_start(args, format);
    const char16_t* p = format;
    while (*p != 0) {
        if (*p != u'%') {
            out.push_back(*p++);
            continue;
        }
        const char16_t* start = p++;
        if (*p == u'%') {
            out.push_back(u'%');
            ++p;
            continue;
        }
        Spec spec;
        for (;; ++p) {
            if (*p == u'-')
                spec.leftAlign = true;
            else if (*p == u'0')
                spec.zeroPad = true;
            else if (*p == u'+')
                spec.plusSign = true;
            else if (*p == u' ')
                spec.spaceSign = true;
            else
                break;
        }
        spec.width = ReadNumber(p);
        if (*p == u'.') {
            ++p;
            spec.precision = ReadNumber(p);
        }
        while (*p == u'l' || *p == u'h') {
            if (*p == u'l' && spec.longCount < 2) ++spec.longCount;
            ++p;
        }
        const char16_t conversion = *p;
        switch (conversion) {
            case u'd':
            case u'i': {
                long long value = spec.longCount == 2   ? va_arg(args, long long)
                                  : spec.longCount == 1 ? va_arg(args, long)
                                                        : va_arg(args, int);
                const bool negative = value < 0;
                // Negate in unsigned arithmetic so that the minimum value is safe.
                unsigned long long magnitude = negative
                                                   ? 0ULL - static_cast<unsigned long long>(value)
                                                   : static_cast<unsigned long long>(value);
                std::u16string_view sign = negative         ? u"-"
                                           : spec.plusSign  ? u"+"
                                           : spec.spaceSign ? u" "
                                                            : u"";
                EmitNumber(out, spec, sign, Digits(magnitude, 10, false));
                break;
            }
            case u'u':
            case u'x':
            case u'X': {
                unsigned long long value = spec.longCount == 2   ? va_arg(args, unsigned long long)
                                           : spec.longCount == 1 ? va_arg(args, unsigned long)
                                                                 : va_arg(args, unsigned int);
                const unsigned base = conversion == u'u' ? 10 : 16;
                EmitNumber(out, spec, u"", Digits(value, base, conversion == u'X'));
                break;
            }
            case u'c': {
                const char16_t c = static_cast<char16_t>(va_arg(args, int));
                EmitText(out, spec, std::u16string_view(&c, 1));
                break;
            }
            case u's': {
                const char16_t* text = va_arg(args, const char16_t*);
                EmitText(out, spec, text != nullptr ? std::u16string_view(text) : u"(null)");
                break;
            }
            default:
                // Not a conversion we know: keep the text as written and take
                // no argument. A '%' right before the end stops here too.
                out.append(start, static_cast<std::size_t>(p - start));
                continue;
        }
        ++p;
    }
    va_end(args);
    return out;
}
