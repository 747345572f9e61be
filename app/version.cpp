#include "app/version.h"

#include <optional>

#include "platform/core/ansi_code_page.h"
#include "platform/core/text.h"

namespace {

// The text in the ANSI code page, each character that the code page cannot
// hold replaced by '?', as the system's own conversion does by default.
std::string ToNarrowWithDefaultChar(std::u16string_view text) {
    if (std::optional<std::string> whole = WideCharToMultiByte(text)) return *whole;
    std::string narrow;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t length = 1;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
            text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            length = 2;
        }
        const std::optional<std::string> one = WideCharToMultiByte(text.substr(i, length));
        narrow += one ? *one : std::string("?");
        i += length - 1;
    }
    return narrow;
}

}  // namespace

DWORD ParseHexVersion(std::u16string text) {
    const std::u16string trimmed = ToLowerCase(TrimWhiteSpace(text));
    const std::string narrow = ToNarrowWithDefaultChar(trimmed);
    DWORD value = 0;
    DWORD digit = 0;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const unsigned char byte = i < narrow.size() ? static_cast<unsigned char>(narrow[i]) : 0;
        if (byte >= '0' && byte <= '9') {
            digit = byte - '0';
        } else if (byte >= 'a' && byte <= 'f') {
            digit = byte - 'a' + 10;
        }
        value = (value << 4) | digit;
    }
    return value;
}

std::u16string VersionDirName(DWORD version) { return FormatText(u"%X", version); }
