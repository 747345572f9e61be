#include "tools/rescomp/script_error.h"

std::string FormatScriptError(const SourceLocation& where, const std::string& message) {
    std::string text = where.file.empty() ? std::string("rescomp") : where.file;
    if (where.line > 0) text += ":" + std::to_string(where.line);
    return text + ": error: " + message;
}
