// tevorin-publish: the release manager's tool for the update server's files.

#include <iostream>
#include <string_view>

#include "tools/publish/commands.h"
#include "tools/publish/exit_codes.h"

namespace {

struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(const CommandArgs&, std::ostream&, std::ostream&);
};

constexpr Command kCommands[] = {
    {"check", "check FILE|URL        parse a manifest and print it as JSON", RunCheckCommand},
    {"make",
     "make --version HEX --action WORD --description TEXT [--base-url URL] [--no-gzip]\n"
     "       --out DIR FILE[:LOCALDIR[:regist]]...  build a release folder for a web server",
     RunMakeCommand},
    {"stamp", "stamp FILE [VERSION]  print or write (hexadecimal) a program's version stamp",
     RunStampCommand},
};

void PrintUsage(std::ostream& err) {
    err << "usage: tevorin-publish COMMAND ARGS...\n";
    for (const Command& command : kCommands) err << "  " << command.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(std::cerr);
        return kExitError;
    }
    const std::string_view name = argv[1];
    for (const Command& command : kCommands) {
        if (command.name == name) {
            const int code = command.run(CommandArgs(argv + 2, argv + argc), std::cout, std::cerr);
            std::cout.flush();
            return std::cout ? code : kExitError;
        }
    }
    std::cerr << "tevorin-publish: unknown command '" << name << "'\n";
    PrintUsage(std::cerr);
    return kExitError;
}
