#pragma once
// Conversion between UTF-16 and the "ANSI code page": the narrow encoding of
// the machine that the update server's manifests, the version digits, the gzip
// paths and the registration commands use.
//
// The code page is the iconv name in the environment variable TEVORIN_ACP when
// it is set and not empty; otherwise the encoding of the user's LC_CTYPE locale.
// A plain ASCII locale ("C"/"POSIX", reported as ANSI_X3.4-1968) counts as
// UTF-8, since 7-bit ASCII is a subset of it and non-ASCII text would otherwise
// be lost; a TEVORIN_ACP that iconv does not know falls back to UTF-8 as well.
// TEVORIN_ACP is read on every conversion; the locale's encoding once.
//
// Every conversion uses its own iconv descriptor, so they may run on several
// threads at once.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The iconv name of the code page that conversions started now would use.
std::string AnsiCodePageName();

// The whole buffer converted to UTF-16; zero bytes become U+0000. Bytes that
// are not valid in the code page each become U+FFFD, and an incomplete
// sequence at the end becomes one U+FFFD.
std::u16string MultiByteToWideChar(std::string_view bytes);

// The text in the code page, or nullopt when a character (or an unpaired
// surrogate) has no representation there.
std::optional<std::string> WideCharToMultiByte(std::u16string_view text);

// Converts a byte stream that arrives in chunks: a multi-byte character split
// across two chunks is carried over and decoded whole. The code page is fixed
// when the decoder is made.
class AnsiStreamDecoder {
  public:
    AnsiStreamDecoder();
    ~AnsiStreamDecoder();
    AnsiStreamDecoder(const AnsiStreamDecoder&) = delete;
    AnsiStreamDecoder& operator=(const AnsiStreamDecoder&) = delete;

    // The text of the chunk plus any carried bytes, except an incomplete
    // character at its end, which waits for the next chunk.
    std::u16string Feed(std::string_view chunk);

    // Ends the stream: a dangling incomplete character becomes one U+FFFD.
    // The decoder may then be used for a new stream.
    std::u16string Finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};
