#pragma once
// Turns the bytes of a manifest body, as they arrive in read chunks, into
// UTF-16 text in the ANSI code page. A chunk counts up to its first zero
// byte: the rest of that chunk is dropped, the next chunk is taken again. A
// character split between two chunks is carried over and decoded whole.

#include <string>
#include <string_view>

#include "platform/core/ansi_code_page.h"

class ManifestBodyText {
  public:
    // The size of one read of the body.
    static constexpr std::size_t kChunkBytes = 8192;

    // Adds one chunk (at most kChunkBytes) to the text.
    void Append(std::string_view chunk);
    // Ends the body; the text is complete afterwards.
    void Finish();

    std::u16string& Text() { return text_; }

  private:
    AnsiStreamDecoder decoder_;
    std::u16string text_;
};
