#pragma once
// Writes a gathered resource script as a C++ source file: the embedded file
// bytes and a function that builds the program's ResourceTable.

#include <string>

#include "tools/rescomp/resource_script.h"

struct CppWriterOptions {
    std::string functionName = "ProgramResourceTable";  // const ResourceTable& <name>()
    std::string headerToInclude;  // the header that declares the function; none when empty
    std::string scriptName;       // named in the file's opening comment
};

std::string WriteResourceTableSource(const ResourceScript& script, const CppWriterOptions& options);

// A C++ literal for the text, u"..." with every non-ASCII or special unit
// escaped, so the generated file is plain ASCII.
std::string Utf16Literal(std::u16string_view text);
