#include "tools/rescomp/token_cursor.h"

#include <cctype>

bool TokenCursor::IsKeyword(const char* keyword, size_t ahead) const {
    const Token& token = Peek(ahead);
    if (token.kind != TokenKind::Name) return false;
    const std::string& s = token.spelling;
    size_t i = 0;
    for (; keyword[i] != '\0'; ++i) {
        if (i >= s.size() || std::toupper(static_cast<unsigned char>(s[i])) != keyword[i]) return false;
    }
    return i == s.size();
}

void TokenCursor::ExpectSymbol(char symbol, const std::string& what) {
    if (!SkipSymbol(symbol)) {
        Fail(std::string("expected '") + symbol + "' " + what + ", found " + DescribeToken(Peek()));
    }
}

void TokenCursor::ExpectBegin(const std::string& what) {
    if (!IsBegin()) Fail("expected BEGIN " + what + ", found " + DescribeToken(Peek()));
    Next();
}

void TokenCursor::ExpectEnd(const std::string& what) {
    if (!IsEnd()) Fail("expected END " + what + ", found " + DescribeToken(Peek()));
    Next();
}

std::u16string TokenCursor::ExpectText(const std::string& what) {
    if (Peek().kind != TokenKind::Text) {
        Fail("expected " + what + " in double quotes, found " + DescribeToken(Peek()));
    }
    return Next().text;
}

void TokenCursor::Fail(const std::string& message) const { throw ScriptError(Peek().where, message); }

std::string DescribeToken(const Token& token) {
    switch (token.kind) {
        case TokenKind::End: return "the end of the script";
        case TokenKind::Text: return "text \"" + token.spelling + "\"";
        case TokenKind::Number: return "number " + token.spelling;
        case TokenKind::Name: return "'" + token.spelling + "'";
        case TokenKind::Symbol: return "'" + token.spelling + "'";
    }
    return "?";
}
