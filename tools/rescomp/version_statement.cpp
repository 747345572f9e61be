#include <set>

#include "tools/rescomp/script_expression.h"
#include "tools/rescomp/statement_parsers.h"

namespace {

// FILEVERSION 1,0,0,1: up to four parts, missing ones are 0.
std::array<WORD, 4> ReadVersionNumber(TokenCursor& cursor, const std::string& what) {
    std::array<WORD, 4> parts{};
    for (size_t i = 0; i < parts.size(); ++i) {
        parts[i] = static_cast<WORD>(ReadNumberInRange(cursor, what + " part", 0, 0xFFFF));
        if (!cursor.SkipSymbol(',')) break;
        if (i + 1 == parts.size()) cursor.Fail(what + " has at most four parts");
    }
    return parts;
}

DWORD ReadFixedNumber(TokenCursor& cursor, const std::string& what) {
    return static_cast<DWORD>(ReadNumberInRange(cursor, what, 0, 0xFFFFFFFF));
}

void ReadStringTable(TokenCursor& cursor, VersionInfo& info) {
    VersionStringTable table;
    table.languageAndCodePage = cursor.ExpectText("the language and code page of the string block");
    if (table.languageAndCodePage.size() != 8) {
        cursor.Fail("a string block is named by 8 hex digits of language and code page, e.g. \"080404b0\"");
    }
    cursor.ExpectBegin("to start the strings");
    std::set<std::u16string> keys;
    while (!cursor.IsEnd()) {
        if (!cursor.IsKeyword("VALUE")) {
            cursor.Fail("expected VALUE or END in the string block, found " + DescribeToken(cursor.Peek()));
        }
        cursor.Next();
        std::u16string key = cursor.ExpectText("the value's name");
        if (!keys.insert(key).second) cursor.Fail("the value's name is used twice in this block");
        cursor.ExpectSymbol(',', "after the value's name");
        std::u16string value = cursor.ExpectText("the value");
        table.values.emplace_back(std::move(key), std::move(value));
    }
    cursor.Next();
    info.stringTables.push_back(std::move(table));
}

void ReadStringFileInfo(TokenCursor& cursor, VersionInfo& info) {
    cursor.ExpectBegin("to start StringFileInfo");
    while (!cursor.IsEnd()) {
        if (!cursor.IsKeyword("BLOCK")) {
            cursor.Fail("expected BLOCK or END in StringFileInfo, found " + DescribeToken(cursor.Peek()));
        }
        cursor.Next();
        ReadStringTable(cursor, info);
    }
    cursor.Next();
}

void ReadVarFileInfo(TokenCursor& cursor, VersionInfo& info) {
    cursor.ExpectBegin("to start VarFileInfo");
    while (!cursor.IsEnd()) {
        if (!cursor.IsKeyword("VALUE")) {
            cursor.Fail("expected VALUE or END in VarFileInfo, found " + DescribeToken(cursor.Peek()));
        }
        cursor.Next();
        if (cursor.ExpectText("the value's name") != u"Translation") {
            cursor.Fail("VarFileInfo holds only \"Translation\"");
        }
        do {
            cursor.ExpectSymbol(',', "before a language");
            const auto language = static_cast<WORD>(ReadNumberInRange(cursor, "language", 0, 0xFFFF));
            cursor.ExpectSymbol(',', "between language and code page");
            const auto codePage = static_cast<WORD>(ReadNumberInRange(cursor, "code page", 0, 0xFFFF));
            info.translations.emplace_back(language, codePage);
        } while (cursor.IsSymbol(','));
    }
    cursor.Next();
}

}  // namespace

VersionInfo ReadVersionInfoStatement(TokenCursor& cursor) {
    VersionInfo info;
    std::set<std::string> seen;
    while (!cursor.IsBegin()) {
        std::string name;
        for (const char* option : {"FILEVERSION", "PRODUCTVERSION", "FILEFLAGSMASK", "FILEFLAGS",
                                   "FILEOS", "FILETYPE", "FILESUBTYPE"}) {
            if (cursor.IsKeyword(option)) name = option;
        }
        if (name.empty()) {
            cursor.Fail("expected FILEVERSION, PRODUCTVERSION, FILEFLAGSMASK, FILEFLAGS, FILEOS, "
                        "FILETYPE, FILESUBTYPE or BEGIN, found " + DescribeToken(cursor.Peek()));
        }
        if (!seen.insert(name).second) cursor.Fail(name + " is given twice");
        cursor.Next();
        if (name == "FILEVERSION") info.fileVersion = ReadVersionNumber(cursor, name);
        if (name == "PRODUCTVERSION") info.productVersion = ReadVersionNumber(cursor, name);
        if (name == "FILEFLAGSMASK") info.fileFlagsMask = ReadFixedNumber(cursor, name);
        if (name == "FILEFLAGS") info.fileFlags = ReadFixedNumber(cursor, name);
        if (name == "FILEOS") info.fileOS = ReadFixedNumber(cursor, name);
        if (name == "FILETYPE") info.fileType = ReadFixedNumber(cursor, name);
        if (name == "FILESUBTYPE") info.fileSubtype = ReadFixedNumber(cursor, name);
    }
    cursor.ExpectBegin("to start the version blocks");
    while (!cursor.IsEnd()) {
        if (!cursor.IsKeyword("BLOCK")) {
            cursor.Fail("expected BLOCK or END in the version resource, found " +
                        DescribeToken(cursor.Peek()));
        }
        cursor.Next();
        const std::u16string block = cursor.ExpectText("the block name");
        if (block == u"StringFileInfo") {
            ReadStringFileInfo(cursor, info);
        } else if (block == u"VarFileInfo") {
            ReadVarFileInfo(cursor, info);
        } else {
            cursor.Fail("a version resource holds the blocks \"StringFileInfo\" and \"VarFileInfo\"");
        }
    }
    cursor.Next();
    return info;
}
