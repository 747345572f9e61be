#include "tools/rescomp/resource_script.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/text.h"
#include "tools/rescomp/picture_check.h"
#include "tools/rescomp/script_expression.h"
#include "tools/rescomp/statement_parsers.h"

namespace {

constexpr int kManifestResourceType = 24;
constexpr int kManifestResourceId = 1;  // the manifest the loader reads for a program
constexpr int kVersionResourceId = 1;

class ScriptReader {
public:
    ScriptReader(TokenCursor& cursor, ResourceScript& script) : cursor_(cursor), script_(script) {}

    void Run() {
        while (!cursor_.AtEnd()) ReadStatement();
    }

private:
    void ReadStatement() {
        for (const char* unsupported : {"LANGUAGE", "STRINGTABLE", "ACCELERATORS", "MENU", "MENUEX",
                                        "DIALOG", "DIALOGEX", "VERSION", "CHARACTERISTICS"}) {
            if (cursor_.IsKeyword(unsupported)) {
                cursor_.Fail(std::string(unsupported) + " statements are not supported here");
            }
        }
        const Token& first = cursor_.Peek();
        if (first.kind == TokenKind::Name && !cursor_.IsKeyword("VS_VERSION_INFO") &&
            !cursor_.IsKeyword("CREATEPROCESS_MANIFEST_RESOURCE_ID")) {
            cursor_.Fail("'" + first.spelling +
                         "' is not defined: resources are numbered, define the name in the id header");
        }
        const SourceLocation where = first.where;
        const int id = static_cast<int>(ReadNumberInRange(cursor_, "resource id", 1, 0xFFFF));

        if (cursor_.IsKeyword("DIALOGEX")) {
            cursor_.Next();
            RequireNew(script_.dialogs, id, "dialog", where);
            script_.dialogs.push_back(ReadDialogStatement(cursor_, id));
        } else if (cursor_.IsKeyword("DIALOG")) {
            cursor_.Fail("only extended dialog templates (DIALOGEX) are supported");
        } else if (cursor_.IsKeyword("BITMAP")) {
            cursor_.Next();
            RequireNew(script_.bitmaps, id, "bitmap", where);
            script_.bitmaps.push_back(ReadFileStatement(id, where, CheckBmpFile));
        } else if (cursor_.IsKeyword("ICON")) {
            cursor_.Next();
            RequireNew(script_.icons, id, "icon", where);
            script_.icons.push_back(ReadFileStatement(id, where, CheckIcoFile));
        } else if (cursor_.IsKeyword("RT_MANIFEST") ||
                   (cursor_.Peek().kind == TokenKind::Number &&
                    cursor_.Peek().number == kManifestResourceType)) {
            cursor_.Next();
            if (id != kManifestResourceId) {
                throw ScriptError(where, "the program's manifest is resource 1");
            }
            if (script_.manifest) throw ScriptError(where, "the manifest is given twice");
            script_.manifest = ReadFileStatement(id, where, CheckManifestText);
        } else if (cursor_.IsKeyword("VERSIONINFO")) {
            cursor_.Next();
            if (id != kVersionResourceId) throw ScriptError(where, "the version resource is resource 1");
            if (script_.versionInfo) throw ScriptError(where, "the version resource is given twice");
            script_.versionInfo = ReadVersionInfoStatement(cursor_);
        } else {
            cursor_.Fail("expected DIALOGEX, BITMAP, ICON, VERSIONINFO or RT_MANIFEST (24) after "
                         "resource id " + std::to_string(id) + ", found " +
                         DescribeToken(cursor_.Peek()));
        }
    }

    template <typename T>
    static void RequireNew(const std::vector<T>& existing, int id, const std::string& kind,
                           const SourceLocation& where) {
        if (std::any_of(existing.begin(), existing.end(), [id](const T& r) { return r.id == id; })) {
            throw ScriptError(where, kind + " " + std::to_string(id) + " is defined twice");
        }
    }

    ResourceFile ReadFileStatement(int id, const SourceLocation& where,
                                   std::string (*check)(const std::vector<std::uint8_t>&)) {
        while (cursor_.IsKeyword("DISCARDABLE") || cursor_.IsKeyword("MOVEABLE") ||
               cursor_.IsKeyword("PURE") || cursor_.IsKeyword("PRELOAD") ||
               cursor_.IsKeyword("LOADONCALL") || cursor_.IsKeyword("FIXED")) {
            cursor_.Next();
        }
        std::string name = Utf16ToUtf8(cursor_.ExpectText("the file name"));
        // Scripts written on Windows separate folders with backslashes.
        std::replace(name.begin(), name.end(), '\\', '/');
        namespace fs = std::filesystem;
        const fs::path path = (fs::path(where.file).parent_path() / name).lexically_normal();

        ResourceFile file;
        file.id = id;
        file.path = path.string();
        file.where = where;
        std::ifstream in(path, std::ios::binary);
        std::error_code ec;
        if (!in || fs::is_directory(path, ec)) {
            throw ScriptError(where, "cannot open '" + file.path + "'");
        }
        file.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) throw ScriptError(where, "cannot read '" + file.path + "'");
        const std::string problem = check(file.bytes);
        if (!problem.empty()) throw ScriptError(where, "'" + file.path + "': " + problem);
        script_.inputFiles.push_back(file.path);
        return file;
    }

    TokenCursor& cursor_;
    ResourceScript& script_;
};

}  // namespace

CompileResult CompileResourceScript(const std::string& scriptPath, const CompileOptions& options) {
    CompileResult result;
    try {
        TokenizeOptions tokenizeOptions;
        tokenizeOptions.includeDirs = options.includeDirs;
        ScriptTokens tokens = TokenizeScript(scriptPath, tokenizeOptions);
        result.script.inputFiles = tokens.filesRead;
        TokenCursor cursor(tokens.tokens);
        ScriptReader(cursor, result.script).Run();
        result.ok = true;
    } catch (const ScriptError& error) {
        result.error = FormatScriptError(error.where(), error.what());
        result.script = {};
    } catch (const std::exception& error) {
        // Out of memory or a file system failure: still an error message, not a crash.
        result.error = FormatScriptError(SourceLocation{scriptPath, 0}, error.what());
        result.script = {};
    }
    return result;
}
