#include "tools/rescomp/script_tokens.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/core/text.h"

namespace {

constexpr int kMaxIncludeDepth = 32;

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

struct Definition {
    std::vector<Token> tokens;
    std::string body;  // as written, to tell a harmless repeat from a conflicting one
    SourceLocation where;
};

struct Condition {
    bool active;        // lines inside are read
    bool parentActive;  // the enclosing block was read
    bool seenElse;
    SourceLocation where;
};

class Tokenizer {
public:
    explicit Tokenizer(const TokenizeOptions& options) : options_(options) {}

    ScriptTokens Run(const std::string& scriptPath) {
        ReadFile(scriptPath, SourceLocation{scriptPath, 0}, 0);
        Token end;
        end.kind = TokenKind::End;
        end.where = SourceLocation{scriptPath, lastLine_};
        result_.tokens.push_back(end);
        return std::move(result_);
    }

private:
    void ReadFile(const std::string& path, const SourceLocation& includedFrom, int depth) {
        if (depth > kMaxIncludeDepth) {
            throw ScriptError(includedFrom, "#include nested too deeply (an include cycle?)");
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) throw ScriptError(includedFrom, "cannot open '" + path + "'");
        std::stringstream buffer;
        buffer << in.rdbuf();
        if (in.bad()) throw ScriptError(includedFrom, "cannot read '" + path + "'");
        std::string content = buffer.str();
        if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
        result_.filesRead.push_back(path);

        const size_t conditionDepth = conditions_.size();
        std::istringstream lines(content);
        std::string line;
        SourceLocation where{path, 0};
        inComment_ = false;
        while (std::getline(lines, line)) {
            ++where.line;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (Utf16ToUtf8(Utf8ToUtf16(line)) != line) {
                throw ScriptError(where, "the line is not valid UTF-8 (scripts are read as UTF-8)");
            }
            ReadLine(line, where, depth);
        }
        if (inComment_) throw ScriptError(commentStart_, "comment is not closed with */");
        if (conditions_.size() != conditionDepth) {
            throw ScriptError(conditions_.back().where, "conditional block has no #endif");
        }
        lastLine_ = where.line;
    }

    bool Active() const { return conditions_.empty() || conditions_.back().active; }

    void ReadLine(const std::string& line, const SourceLocation& where, int depth) {
        size_t start = line.find_first_not_of(" \t");
        if (!inComment_ && start != std::string::npos && line[start] == '#') {
            Directive(line.substr(start + 1), where, depth);
            return;
        }
        if (!Active()) return;
        LexLine(line, where, result_.tokens, /*expand=*/true);
    }

    void Directive(const std::string& text, const SourceLocation& where, int depth) {
        size_t pos = text.find_first_not_of(" \t");
        size_t nameEnd = pos;
        while (nameEnd < text.size() && IsNameChar(text[nameEnd])) ++nameEnd;
        const std::string directive = pos == std::string::npos ? "" : text.substr(pos, nameEnd - pos);
        std::string rest = StripComment(text.substr(nameEnd), where);
        rest = Trim(rest);

        if (directive == "ifdef" || directive == "ifndef") {
            const std::string name = SingleName(rest, directive, where);
            const bool defined = definitions_.count(name) != 0;
            const bool parent = Active();
            conditions_.push_back(Condition{parent && (defined == (directive == "ifdef")), parent,
                                            false, where});
            return;
        }
        if (directive == "else") {
            if (conditions_.empty()) throw ScriptError(where, "#else without #ifdef or #ifndef");
            Condition& c = conditions_.back();
            if (c.seenElse) throw ScriptError(where, "second #else in one conditional block");
            c.seenElse = true;
            c.active = c.parentActive && !c.active;
            return;
        }
        if (directive == "endif") {
            if (conditions_.empty()) throw ScriptError(where, "#endif without #ifdef or #ifndef");
            conditions_.pop_back();
            return;
        }
        if (!Active()) return;

        if (directive == "include") {
            Include(rest, where, depth);
        } else if (directive == "define") {
            Define(rest, where);
        } else if (directive == "undef") {
            definitions_.erase(SingleName(rest, directive, where));
        } else if (directive == "pragma") {
            Pragma(rest, where);
        } else if (directive == "error") {
            throw ScriptError(where, "#error " + rest);
        } else {
            throw ScriptError(where, "unsupported preprocessor directive '#" + directive +
                                         "' (supported: include, define, undef, ifdef, ifndef, "
                                         "else, endif, pragma)");
        }
    }

    void Include(const std::string& rest, const SourceLocation& where, int depth) {
        if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') {
            throw ScriptError(where, "#include needs a file name in double quotes; system headers "
                                     "are not read, the style names are built in");
        }
        const std::string name = rest.substr(1, rest.size() - 2);
        namespace fs = std::filesystem;
        std::vector<fs::path> candidates{fs::path(where.file).parent_path() / name};
        for (const std::string& dir : options_.includeDirs) candidates.push_back(fs::path(dir) / name);
        for (const fs::path& candidate : candidates) {
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) {
                const bool saveComment = inComment_;
                ReadFile(candidate.lexically_normal().string(), where, depth + 1);
                inComment_ = saveComment;
                return;
            }
        }
        throw ScriptError(where, "cannot find included file '" + name + "'");
    }

    void Define(const std::string& rest, const SourceLocation& where) {
        size_t end = 0;
        if (rest.empty() || !IsNameStart(rest[0])) throw ScriptError(where, "#define needs a name");
        while (end < rest.size() && IsNameChar(rest[end])) ++end;
        const std::string name = rest.substr(0, end);
        if (end < rest.size() && rest[end] == '(') {
            throw ScriptError(where, "macros with parameters are not supported: '" + name + "'");
        }
        Definition definition;
        definition.body = Trim(rest.substr(end));
        definition.where = where;
        LexLine(definition.body, where, definition.tokens, /*expand=*/false);
        auto existing = definitions_.find(name);
        if (existing != definitions_.end() && existing->second.body != definition.body) {
            throw ScriptError(where, "'" + name + "' is defined again with another value (first at " +
                                         existing->second.where.file + ":" +
                                         std::to_string(existing->second.where.line) + ")");
        }
        definitions_[name] = std::move(definition);
    }

    void Pragma(const std::string& rest, const SourceLocation& where) {
        std::string compact;
        for (char c : rest) {
            if (c != ' ' && c != '\t') compact += c;
        }
        if (compact.rfind("code_page(", 0) == 0 && compact != "code_page(65001)") {
            throw ScriptError(where, "only UTF-8 scripts are supported: #pragma code_page(65001)");
        }
        // Other pragmas (once, code_page(65001)) need nothing from us.
    }

    static std::string Trim(const std::string& text) {
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos) return {};
        const size_t last = text.find_last_not_of(" \t");
        return text.substr(first, last - first + 1);
    }

    // A directive's rest without // and /* */ comments; a block comment may
    // go on past the line.
    std::string StripComment(const std::string& text, const SourceLocation& where) {
        std::string out;
        bool inText = false;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '"') inText = !inText;
            if (!inText && text.compare(i, 2, "//") == 0) break;
            if (!inText && text.compare(i, 2, "/*") == 0) {
                const size_t close = text.find("*/", i + 2);
                if (close == std::string::npos) {
                    inComment_ = true;
                    commentStart_ = where;
                    break;
                }
                i = close + 1;
                out += ' ';
                continue;
            }
            out += text[i];
        }
        return out;
    }

    static std::string SingleName(const std::string& rest, const std::string& directive,
                                  const SourceLocation& where) {
        size_t end = 0;
        while (end < rest.size() && IsNameChar(rest[end])) ++end;
        if (end == 0 || end != rest.size() || !IsNameStart(rest[0])) {
            throw ScriptError(where, "#" + directive + " needs exactly one name");
        }
        return rest;
    }

    void LexLine(const std::string& line, const SourceLocation& where, std::vector<Token>& out,
                 bool expand) {
        size_t i = 0;
        while (i < line.size()) {
            if (inComment_) {
                const size_t close = line.find("*/", i);
                if (close == std::string::npos) return;
                inComment_ = false;
                i = close + 2;
                continue;
            }
            const char c = line[i];
            if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
                ++i;
            } else if (line.compare(i, 2, "//") == 0) {
                return;
            } else if (line.compare(i, 2, "/*") == 0) {
                inComment_ = true;
                commentStart_ = where;
                i += 2;
            } else if (c == '"' || (c == 'L' && i + 1 < line.size() && line[i + 1] == '"')) {
                i = LexText(line, c == 'L' ? i + 1 : i, where, out);
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                i = LexNumber(line, i, where, out);
            } else if (IsNameStart(c)) {
                size_t end = i;
                while (end < line.size() && IsNameChar(line[end])) ++end;
                const std::string name = line.substr(i, end - i);
                if (expand) {
                    Expand(name, where, out);
                } else {
                    out.push_back(Token{TokenKind::Name, name, 0, {}, where});
                }
                i = end;
            } else if (std::string_view(",|()-+~&{}").find(c) != std::string_view::npos) {
                out.push_back(Token{TokenKind::Symbol, std::string(1, c), 0, {}, where});
                ++i;
            } else {
                throw ScriptError(where, std::string("unexpected character '") + c + "'");
            }
        }
    }

    void Expand(const std::string& name, const SourceLocation& where, std::vector<Token>& out) {
        auto found = definitions_.find(name);
        if (found == definitions_.end() || expanding_.count(name)) {
            out.push_back(Token{TokenKind::Name, name, 0, {}, where});
            return;
        }
        expanding_.insert(name);
        for (const Token& token : found->second.tokens) {
            if (token.kind == TokenKind::Name) {
                Expand(token.spelling, where, out);
            } else {
                Token copy = token;
                copy.where = where;
                out.push_back(copy);
            }
        }
        expanding_.erase(name);
    }

    size_t LexText(const std::string& line, size_t open, const SourceLocation& where,
                   std::vector<Token>& out) {
        std::string content;
        size_t i = open + 1;
        for (;;) {
            if (i >= line.size()) throw ScriptError(where, "text is not closed with a double quote");
            const char c = line[i];
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {  // "" stands for one quote
                    content += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            if (c == '\\') {
                if (i + 1 >= line.size()) throw ScriptError(where, "text ends in a lone backslash");
                const char e = line[i + 1];
                switch (e) {
                    case '\\': content += '\\'; break;
                    case '"': content += '"'; break;
                    case 'n': content += '\n'; break;
                    case 't': content += '\t'; break;
                    case 'r': content += '\r'; break;
                    default:
                        throw ScriptError(where, std::string("unknown escape '\\") + e +
                                                     "' (known: \\\\ \\\" \\n \\t \\r)");
                }
                i += 2;
                continue;
            }
            content += c;
            ++i;
        }
        out.push_back(Token{TokenKind::Text, content, 0, Utf8ToUtf16(content), where});
        return i;
    }

    size_t LexNumber(const std::string& line, size_t start, const SourceLocation& where,
                     std::vector<Token>& out) {
        size_t i = start;
        int base = 10;
        if (line.compare(i, 2, "0x") == 0 || line.compare(i, 2, "0X") == 0) {
            base = 16;
            i += 2;
        }
        const size_t digitsStart = i;
        std::uint64_t value = 0;
        while (i < line.size() && std::isxdigit(static_cast<unsigned char>(line[i]))) {
            const char d = line[i];
            const int digit = std::isdigit(static_cast<unsigned char>(d))
                                  ? d - '0'
                                  : std::tolower(static_cast<unsigned char>(d)) - 'a' + 10;
            if (digit >= base) break;
            value = value * base + digit;
            if (value > 0xFFFFFFFFull) {
                throw ScriptError(where, "number does not fit in 32 bits");
            }
            ++i;
        }
        while (i < line.size() && std::string_view("lLuU").find(line[i]) != std::string_view::npos) {
            ++i;
        }
        if (i == digitsStart || (i < line.size() && IsNameChar(line[i]))) {
            size_t end = i;
            while (end < line.size() && IsNameChar(line[end])) ++end;
            throw ScriptError(where, "malformed number '" + line.substr(start, end - start) + "'");
        }
        out.push_back(Token{TokenKind::Number, line.substr(start, i - start),
                            static_cast<std::int64_t>(value), {}, where});
        return i;
    }

    const TokenizeOptions& options_;
    ScriptTokens result_;
    std::map<std::string, Definition> definitions_;
    std::set<std::string> expanding_;
    std::vector<Condition> conditions_;
    bool inComment_ = false;
    SourceLocation commentStart_;
    int lastLine_ = 0;
};

}  // namespace

ScriptTokens TokenizeScript(const std::string& scriptPath, const TokenizeOptions& options) {
    return Tokenizer(options).Run(scriptPath);
}
