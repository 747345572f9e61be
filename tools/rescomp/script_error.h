#pragma once
// Where something in a resource script went wrong, and what.

#include <stdexcept>
#include <string>

struct SourceLocation {
    std::string file;
    int line = 0;
};

// Thrown inside the compiler and caught once, in CompileResourceScript, which
// turns it into its result.
class ScriptError : public std::runtime_error {
public:
    ScriptError(SourceLocation where, const std::string& message)
        : std::runtime_error(message), where_(std::move(where)) {}
    const SourceLocation& where() const { return where_; }

private:
    SourceLocation where_;
};

// "file:line: error: message", the form editors and build logs recognise.
std::string FormatScriptError(const SourceLocation& where, const std::string& message);
