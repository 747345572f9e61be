// tevorin-desktop: the desktop session's inspection and automation tool.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/desktop/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const int exitCode = desktop_tool::RunCommand(args);
    std::fflush(stdout);
    return exitCode;
}
