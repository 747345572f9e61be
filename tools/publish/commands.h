#pragma once
// The subcommands of tevorin-publish. Each takes the arguments after its own
// name, prints its result on `out` and its complaints on `err`, and returns
// the exit code.

#include <ostream>
#include <string>
#include <vector>

using CommandArgs = std::vector<std::string>;

int RunCheckCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int RunMakeCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int RunStampCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
