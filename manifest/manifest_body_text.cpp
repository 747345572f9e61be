#include "manifest/manifest_body_text.h"

void ManifestBodyText::Append(std::string_view chunk) {
    const std::size_t zero = chunk.find('\0');
    std::u16string text = decoder_.Feed(chunk.substr(0, zero));
    // Bytes before a dropped rest cannot continue into the next chunk.
    if (zero != std::string_view::npos) text += decoder_.Finish();
    // Appended whole or not at all: without memory the text keeps the
    // previous chunks.
    text_ += text;
}

void ManifestBodyText::Finish() {
    text_ += decoder_.Finish();
}
