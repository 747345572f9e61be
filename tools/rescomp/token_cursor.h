#pragma once
// Reading position in a resource script's token stream, with the checks that
// every statement needs.

#include <string>
#include <vector>

#include "tools/rescomp/script_tokens.h"

class TokenCursor {
public:
    explicit TokenCursor(const std::vector<Token>& tokens) : tokens_(tokens) {}

    const Token& Peek(size_t ahead = 0) const {
        const size_t at = pos_ + ahead;
        return at < tokens_.size() ? tokens_[at] : tokens_.back();
    }
    const Token& Next() {
        const Token& token = Peek();
        if (pos_ < tokens_.size() - 1) ++pos_;
        return token;
    }
    bool AtEnd() const { return Peek().kind == TokenKind::End; }

    // Keywords of resource scripts are case-insensitive.
    bool IsKeyword(const char* keyword, size_t ahead = 0) const;
    bool IsSymbol(char symbol) const {
        return Peek().kind == TokenKind::Symbol && Peek().spelling[0] == symbol;
    }
    bool IsBegin() const { return IsKeyword("BEGIN") || IsSymbol('{'); }
    bool IsEnd() const { return IsKeyword("END") || IsSymbol('}'); }

    bool SkipSymbol(char symbol) {
        if (!IsSymbol(symbol)) return false;
        Next();
        return true;
    }
    void ExpectSymbol(char symbol, const std::string& what);
    void ExpectBegin(const std::string& what);
    void ExpectEnd(const std::string& what);  // also reports an END that is missing at the end of input
    std::u16string ExpectText(const std::string& what);

    [[noreturn]] void Fail(const std::string& message) const;

private:
    const std::vector<Token>& tokens_;
    size_t pos_ = 0;
};

// How a token reads in an error message.
std::string DescribeToken(const Token& token);
