#include "platform/core/ansi_code_page.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>

#include "platform/core/iconv_converter.h"

namespace {

constexpr char kUtf8[] = "UTF-8";
constexpr char kUtf16[] = "UTF-16LE";
constexpr char16_t kReplacement = 0xFFFD;
// No encoding we convert from needs more than this many bytes for one
// character; a longer "incomplete" tail is treated as invalid.
constexpr std::size_t kMaxCarry = 16;

// The encoding of the user's LC_CTYPE locale, asked for without touching the
// process's own locale.
std::string LocaleCodeSet() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return kUtf8;
    const char* codeSet = nl_langinfo_l(CODESET, locale);
    std::string name = codeSet != nullptr && *codeSet != 0 ? codeSet : kUtf8;
    freelocale(locale);
    if (name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII") name = kUtf8;
    return name;
}

const std::string& CachedLocaleCodeSet() {
    static const std::string name = LocaleCodeSet();
    return name;
}

std::string ConfiguredCodePage() {
    const char* fromEnvironment = std::getenv("TEVORIN_ACP");
    if (fromEnvironment != nullptr && *fromEnvironment != 0) return fromEnvironment;
    return CachedLocaleCodeSet();
}

enum class Direction { kToUtf16, kFromUtf16 };

// A converter for the configured code page, or for UTF-8 when iconv does not
// know the configured name.
std::unique_ptr<IconvConverter> OpenConverter(Direction direction, std::string* nameUsed) {
    const std::string name = ConfiguredCodePage();
    for (const std::string& candidate : {name, std::string(kUtf8)}) {
        auto converter = direction == Direction::kToUtf16
                             ? std::make_unique<IconvConverter>(kUtf16, candidate.c_str())
                             : std::make_unique<IconvConverter>(candidate.c_str(), kUtf16);
        if (converter->IsOpen()) {
            if (nameUsed != nullptr) *nameUsed = candidate;
            return converter;
        }
    }
    return nullptr;
}

void AppendUtf16Bytes(std::u16string& out, std::string_view bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
}

std::string ToUtf16Bytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

}  // namespace

std::string AnsiCodePageName() {
    std::string name;
    if (OpenConverter(Direction::kToUtf16, &name) == nullptr) return kUtf8;
    return name;
}

struct AnsiStreamDecoder::State {
    std::unique_ptr<IconvConverter> converter = OpenConverter(Direction::kToUtf16, nullptr);
    std::string carry;
};

AnsiStreamDecoder::AnsiStreamDecoder() : state_(std::make_unique<State>()) {}

AnsiStreamDecoder::~AnsiStreamDecoder() = default;

std::u16string AnsiStreamDecoder::Feed(std::string_view chunk) {
    std::string joined;
    std::string_view input = chunk;
    if (!state_->carry.empty()) {
        joined = state_->carry + std::string(chunk);
        input = joined;
        state_->carry.clear();
    }
    std::u16string text;
    text.reserve(input.size());
    std::string bytes;
    while (!input.empty()) {
        IconvConverter::Stop stop = IconvConverter::Stop::kInvalid;
        if (state_->converter != nullptr) {
            stop = state_->converter->Convert(input, bytes);
        }
        AppendUtf16Bytes(text, bytes);
        bytes.clear();
        if (stop == IconvConverter::Stop::kDone) break;
        if (stop == IconvConverter::Stop::kIncomplete && input.size() <= kMaxCarry) {
            state_->carry.assign(input);
            break;
        }
        // One replacement per byte that starts no valid character; the
        // conversion resumes at the next byte.
        text.push_back(kReplacement);
        input.remove_prefix(1);
    }
    return text;
}

std::u16string AnsiStreamDecoder::Finish() {
    std::u16string text;
    if (!state_->carry.empty()) {
        text.push_back(kReplacement);
        state_->carry.clear();
    }
    if (state_->converter != nullptr) state_->converter->Reset();
    return text;
}

std::u16string MultiByteToWideChar(std::string_view bytes) {
    AnsiStreamDecoder decoder;
    std::u16string text = decoder.Feed(bytes);
    text += decoder.Finish();
    return text;
}

std::optional<std::string> WideCharToMultiByte(std::u16string_view text) {
    auto converter = OpenConverter(Direction::kFromUtf16, nullptr);
    if (converter == nullptr) return std::nullopt;
    const std::string utf16 = ToUtf16Bytes(text);
    std::string_view input = utf16;
    std::string narrow;
    if (converter->Convert(input, narrow) != IconvConverter::Stop::kDone) return std::nullopt;
    // Stateful encodings end with a return to the initial shift state.
    if (!converter->Finish(narrow)) return std::nullopt;
    return narrow;
}
