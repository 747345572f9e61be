#pragma once
// UTF-16 text helpers that the updater's code calls where the original runtime
// offered string-class members or wide C functions: trimming, case folding,
// replacement, printf-style formatting, decimal parsing, and UTF-8 conversion
// for paths and tool output.

#include <string>
#include <string_view>

// True for the characters that trimming and number parsing skip: the Unicode
// White_Space set, i.e. U+0009-U+000D, U+0020, U+0085, U+00A0, U+1680,
// U+2000-U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
bool IsWhiteSpace(char16_t c);

// The text without white space (see IsWhiteSpace) at either end.
std::u16string TrimWhiteSpace(std::u16string_view text);

// The text with A-Z replaced by a-z. Every other unit, non-ASCII letters
// included, is kept: the program only folds case to compare ASCII words and
// paths, and ASCII-only folding never changes a text's length.
std::u16string ToLowerCase(std::u16string_view text);
// True when the two texts differ at most in the case of A-Z, as class names
// and other ASCII words are compared.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// Every occurrence of `from`, found left to right without overlap, replaced by
// `to`. An empty `from` leaves the text unchanged.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

// printf-style formatting into UTF-16. Conversions: %d %i (int), %u %x %X
// (unsigned int), %c (a char16_t passed as int), %s (const char16_t*, null
// prints "(null)"), %%. Flags '-', '0', '+', ' '; a decimal width and
// precision; length modifiers 'l' (long) and 'll' (long long); 'h' is accepted
// and ignored. Anything else after '%' is copied literally without consuming
// an argument, and a '%' at the end of the format is copied as is. Widths and
// precisions above 4096 are cut to 4096. A null format gives the empty text.
std::u16string FormatText(const char16_t* format, ...);

// Decimal parsing as the wide C runtime does it: leading white space, an
// optional '+' or '-', then decimal digits up to the first non-digit. No digit,
// or a null pointer, gives 0. Values beyond the 32-bit signed range saturate at
// INT32_MIN / INT32_MAX, for _wtol too, because `long` of the original platform
// is 32 bits wide.
int _wtoi(const char16_t* text);
long _wtol(const char16_t* text);

// UTF-8 <-> UTF-16 for internal use. Ill-formed input (stray or truncated UTF-8
// sequences, overlong forms, encoded surrogates, unpaired surrogates in UTF-16)
// becomes U+FFFD, one per maximal ill-formed subsequence.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view bytes);
