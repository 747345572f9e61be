#include "tools/rescomp/script_expression.h"

#include "tools/rescomp/builtin_names.h"

namespace {

std::int64_t ReadOr(TokenCursor& cursor, const std::string& what);

std::int64_t ReadPrimary(TokenCursor& cursor, const std::string& what) {
    const Token& token = cursor.Peek();
    if (token.kind == TokenKind::Number) return cursor.Next().number;
    if (cursor.SkipSymbol('-')) return -ReadPrimary(cursor, what);
    if (cursor.SkipSymbol('+')) return ReadPrimary(cursor, what);
    if (cursor.SkipSymbol('~')) return ~ReadPrimary(cursor, what) & 0xFFFFFFFF;
    if (cursor.SkipSymbol('(')) {
        const std::int64_t value = ReadOr(cursor, what);
        cursor.ExpectSymbol(')', "to close the parenthesis");
        return value;
    }
    if (token.kind == TokenKind::Name) {
        if (cursor.IsKeyword("NOT")) cursor.Fail("NOT can only take bits away in a style");
        if (auto value = FindBuiltinName(token.spelling)) {
            cursor.Next();
            return *value;
        }
        cursor.Fail("unknown name '" + token.spelling + "' in " + what +
                    " (define it with #define, or check its spelling)");
    }
    cursor.Fail("expected a number for " + what + ", found " + DescribeToken(token));
}

std::int64_t ReadSum(TokenCursor& cursor, const std::string& what) {
    std::int64_t value = ReadPrimary(cursor, what);
    for (;;) {
        if (cursor.SkipSymbol('+')) {
            value += ReadPrimary(cursor, what);
        } else if (cursor.SkipSymbol('-')) {
            value -= ReadPrimary(cursor, what);
        } else {
            return value;
        }
    }
}

std::int64_t ReadAnd(TokenCursor& cursor, const std::string& what) {
    std::int64_t value = ReadSum(cursor, what);
    while (cursor.SkipSymbol('&')) value &= ReadSum(cursor, what);
    return value;
}

std::int64_t ReadOr(TokenCursor& cursor, const std::string& what) {
    std::int64_t value = ReadAnd(cursor, what);
    while (cursor.SkipSymbol('|')) value |= ReadAnd(cursor, what);
    return value;
}

std::uint32_t AsStyleBits(std::int64_t value) { return static_cast<std::uint32_t>(value & 0xFFFFFFFF); }

}  // namespace

std::int64_t ReadNumber(TokenCursor& cursor, const std::string& what) { return ReadOr(cursor, what); }

std::int64_t ReadNumberInRange(TokenCursor& cursor, const std::string& what, std::int64_t low,
                               std::int64_t high) {
    const Token& first = cursor.Peek();
    const SourceLocation where = first.where;
    const std::int64_t value = ReadOr(cursor, what);
    if (value < low || value > high) {
        throw ScriptError(where, what + " " + std::to_string(value) + " is out of range [" +
                                     std::to_string(low) + ", " + std::to_string(high) + "]");
    }
    return value;
}

std::uint32_t ReadStyle(TokenCursor& cursor, std::uint32_t defaults, const std::string& what) {
    std::uint32_t style = defaults;
    do {
        if (cursor.IsKeyword("NOT")) {
            cursor.Next();
            style &= ~AsStyleBits(ReadAnd(cursor, what));
        } else {
            style |= AsStyleBits(ReadAnd(cursor, what));
        }
    } while (cursor.SkipSymbol('|'));
    return style;
}
