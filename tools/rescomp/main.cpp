// rescomp: compiles a resource script (.rc) with its dialog templates,
// bitmaps, icons, manifest and version resource into a C++ source file.
//
//   rescomp SCRIPT -o OUTPUT.cpp [--depfile OUTPUT.d] [--function NAME]
//           [--include HEADER] [-I DIR]...
//
// Errors go to standard error as "file:line: error: ..."; the exit status is
// 1 for a bad script, 2 for a bad command line or an output that cannot be
// written. On failure the output file is left as it was.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/rescomp/cpp_writer.h"
#include "tools/rescomp/resource_script.h"

namespace {

struct CommandLine {
    std::string script;
    std::string output;
    std::string depfile;
    CompileOptions compile;
    CppWriterOptions writer;
};

constexpr const char* kUsage =
    "usage: rescomp SCRIPT -o OUTPUT.cpp [--depfile OUTPUT.d] [--function NAME] "
    "[--include HEADER] [-I DIR]...";

bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::string dir;
        if (arg == "-o") {
            if (!value(line.output)) return false;
        } else if (arg == "--depfile") {
            if (!value(line.depfile)) return false;
        } else if (arg == "--function") {
            if (!value(line.writer.functionName)) return false;
        } else if (arg == "--include") {
            if (!value(line.writer.headerToInclude)) return false;
        } else if (arg == "-I") {
            if (!value(dir)) return false;
            line.compile.includeDirs.push_back(dir);
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else if (line.script.empty()) {
            line.script = arg;
        } else {
            error = "more than one script given";
            return false;
        }
    }
    if (line.script.empty() || line.output.empty()) {
        error = "a script and an output file (-o) are needed";
        return false;
    }
    return true;
}

// Writes next to the target and renames, so a failed run never leaves a
// half-written file that the build would take as up to date.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create " + temporary;
            return false;
        }
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string EscapeForDepfile(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, line, error)) {
        std::cerr << "rescomp: " << error << "\n" << kUsage << "\n";
        return 2;
    }
    const CompileResult result = CompileResourceScript(line.script, line.compile);
    if (!result.ok) {
        std::cerr << result.error << "\n";
        return 1;
    }
    line.writer.scriptName = std::filesystem::path(line.script).filename().string();
    if (!WriteFileAtomically(line.output, WriteResourceTableSource(result.script, line.writer), error)) {
        std::cerr << "rescomp: " << error << "\n";
        return 2;
    }
    if (!line.depfile.empty()) {
        std::string deps = EscapeForDepfile(line.output) + ":";
        for (const std::string& input : result.script.inputFiles) deps += " \\\n  " + EscapeForDepfile(input);
        deps += "\n";
        if (!WriteFileAtomically(line.depfile, deps, error)) {
            std::cerr << "rescomp: " << error << "\n";
            return 2;
        }
    }
    return 0;
}
