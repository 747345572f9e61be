#include "platform/core/command_line.h"

#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/core/ansi_code_page.h"

namespace {

bool NeedsQuotes(std::u16string_view argument) {
    if (argument.empty()) return true;
    return argument.find_first_of(u" \t\n\v\"") != std::u16string_view::npos;
}

void AppendQuoted(std::u16string& line, std::u16string_view argument) {
    line.push_back(u'"');
    std::size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            line.append(backslashes * 2 + 1, u'\\');
        } else {
            line.append(backslashes, u'\\');
        }
        backslashes = 0;
        line.push_back(c);
    }
    line.append(backslashes * 2, u'\\');
    line.push_back(u'"');
}

}  // namespace

std::u16string JoinCommandLine(const std::vector<std::u16string>& arguments) {
    std::u16string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line.push_back(u' ');
        if (NeedsQuotes(arguments[i])) {
            AppendQuoted(line, arguments[i]);
        } else {
            line.append(arguments[i]);
        }
    }
    return line;
}

std::vector<std::u16string> GetProcessArguments() {
    std::vector<std::u16string> arguments;
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    if (!file) return arguments;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Each argument ends with a zero byte.
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos) end = bytes.size();
        arguments.push_back(MultiByteToWideChar(std::string_view(bytes).substr(start, end - start)));
        start = end + 1;
    }
    return arguments;
}

const char16_t* GetCommandLineW() {
    static std::once_flag once;
    static std::u16string line;
    std::call_once(once, [] { line = JoinCommandLine(GetProcessArguments()); });
    return line.c_str();
}
