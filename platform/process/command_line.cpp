#include "platform/process/command_line.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i;
}

void AppendArguments(std::string_view text, std::size_t i, std::vector<std::string>& out) {
    for (;;) {
        i = SkipBlanks(text, i);
        if (i >= text.size()) return;
        std::string argument;
        bool quoted = false;
        while (i < text.size()) {
            const char c = text[i];
            if (c == '\\') {
                std::size_t count = 0;
                while (i < text.size() && text[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < text.size() && text[i] == '"') {
                    argument.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        argument.push_back('"');
                    } else {
                        quoted = !quoted;
                    }
                    ++i;
                } else {
                    argument.append(count, '\\');
                }
                continue;
            }
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (IsBlank(c) && !quoted) break;
            argument.push_back(c);
            ++i;
        }
        out.push_back(std::move(argument));
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> out;
    std::size_t i = SkipBlanks(commandLine, 0);
    if (i >= commandLine.size()) return out;
    std::string program;
    if (commandLine[i] == '"') {
        ++i;
        while (i < commandLine.size() && commandLine[i] != '"') program.push_back(commandLine[i++]);
        if (i < commandLine.size()) ++i;  // the closing quote
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i])) {
            program.push_back(commandLine[i++]);
        }
    }
    out.push_back(std::move(program));
    AppendArguments(commandLine, i, out);
    return out;
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
    std::vector<std::string> out;
    AppendArguments(arguments, 0, out);
    return out;
}
