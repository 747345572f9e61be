#pragma once
// Numeric expressions of resource scripts: numbers, built-in names, unary
// - and ~, binary + - & |, parentheses; and style expressions, which also know
// NOT to take bits away.

#include <cstdint>
#include <string>

#include "tools/rescomp/token_cursor.h"

std::int64_t ReadNumber(TokenCursor& cursor, const std::string& what);

// A number that must lie in [low, high]; the error names `what`.
std::int64_t ReadNumberInRange(TokenCursor& cursor, const std::string& what, std::int64_t low,
                               std::int64_t high);

// A style: `defaults`, then each "| term" adds bits and each "NOT term"
// removes them, as resource compilers do, so "SS_BLACKFRAME | NOT WS_VISIBLE"
// on a control gives a hidden frame.
std::uint32_t ReadStyle(TokenCursor& cursor, std::uint32_t defaults, const std::string& what);
