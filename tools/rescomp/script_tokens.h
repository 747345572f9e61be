#pragma once
// Turns a resource script and the headers it includes into one stream of
// tokens: comments removed, preprocessor lines (#include, #define, #undef,
// #ifdef, #ifndef, #else, #endif, #pragma) carried out, defined names
// replaced by their values.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/rescomp/script_error.h"

enum class TokenKind { Name, Number, Text, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string spelling;  // as written (for Text: the UTF-8 content without quotes and escapes)
    std::int64_t number = 0;  // for Number
    std::u16string text;      // for Text
    SourceLocation where;
};

struct ScriptTokens {
    std::vector<Token> tokens;  // always ends with one End token
    std::vector<std::string> filesRead;  // the script and every header it included
};

struct TokenizeOptions {
    std::vector<std::string> includeDirs;  // searched after the including file's own folder
};

// Reads `scriptPath` and everything it includes. Throws ScriptError.
ScriptTokens TokenizeScript(const std::string& scriptPath, const TokenizeOptions& options);
