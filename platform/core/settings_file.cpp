#include "platform/core/settings_file.h"

#include <fstream>
#include <iterator>

#include "platform/core/ansi_code_page.h"
#include "platform/core/native_path.h"
#include "platform/core/text.h"

namespace {

// Settings files are small; anything beyond this is not a settings file and is
// not read further.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

std::optional<std::string> ReadFileBytes(std::u16string_view path) {
    std::ifstream file(ToNativePath(path), std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < kMaxSettingsBytes && file.read(chunk, sizeof chunk), file.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
    }
    if (bytes.size() > kMaxSettingsBytes) bytes.resize(kMaxSettingsBytes);
    return bytes;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second
                                                       : first | (second << 8)));
    }
    return text;
}

bool IsValidUtf8(std::string_view bytes) {
    // Decoding replaces every ill-formed sequence, so only valid text
    // survives the round trip unchanged.
    return Utf16ToUtf8(Utf8ToUtf16(bytes)) == bytes;
}

std::u16string DecodeSettingsText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return Utf8ToUtf16(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
    if (IsValidUtf8(bytes)) return Utf8ToUtf16(bytes);
    return MultiByteToWideChar(bytes);
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return ToLowerCase(TrimWhiteSpace(a)) == ToLowerCase(TrimWhiteSpace(b));
}

std::u16string Unquote(std::u16string value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::u16string> FindValue(std::u16string_view text, std::u16string_view section,
                                        std::u16string_view key) {
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        const std::u16string line = TrimWhiteSpace(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            // Only the first section of a name counts.
            if (inSection) return std::nullopt;
            const std::size_t close = line.find(u']');
            const std::u16string_view name =
                std::u16string_view(line).substr(1, close == std::u16string::npos ? std::u16string::npos
                                                                                   : close - 1);
            inSection = !sectionSeen && SameName(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string::npos) continue;
        if (SameName(std::u16string_view(line).substr(0, equals), key)) {
            return Unquote(TrimWhiteSpace(std::u16string_view(line).substr(equals + 1)));
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::u16string> ReadSettingsValue(std::u16string_view section,
                                                std::u16string_view key, std::u16string_view path) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    return FindValue(DecodeSettingsText(*bytes), section, key);
}

DWORD GetPrivateProfileStringW(const char16_t* section, const char16_t* key,
                               const char16_t* defaultValue, char16_t* buffer, DWORD size,
                               const char16_t* path) {
    if (buffer == nullptr || size == 0) return 0;
    std::optional<std::u16string> value;
    if (section != nullptr && key != nullptr && path != nullptr) {
        value = ReadSettingsValue(section, key, path);
    }
    if (!value) value = std::u16string(defaultValue != nullptr ? defaultValue : u"");
    const std::size_t count = value->size() < size ? value->size() : size - 1;
    value->copy(buffer, count);
    buffer[count] = 0;
    return static_cast<DWORD>(count);
}
