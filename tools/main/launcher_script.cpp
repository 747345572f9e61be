#include "tools/main/launcher_script.h"

#include <string_view>

#include "app/version_stamp.h"

namespace main_stand_in {
namespace {

constexpr std::string_view kShebang = "#!/bin/sh\n";
constexpr std::string_view kDelimiter = "STAMP_END";
constexpr std::string_view kBodyOpen = ":<<'STAMP_END'\n";
constexpr std::string_view kStampPrefix = "stamp: ";
static_assert(kShebang.size() + kBodyOpen.size() + kStampPrefix.size() == kVersionStampOffset,
              "the stamp must start at its offset");
static_assert(kBodyOpen.substr(4, kDelimiter.size()) == kDelimiter,
              "the here-document ends at the delimiter");
static_assert(kDelimiter.size() > 3 && kDelimiter[0] != kStampPrefix[0],
              "no body line may read as the delimiter");

// $0 is the path the launcher was started by; tevorin-main lies beside it.
constexpr std::string_view kRunProgram =
    "\n"
    "STAMP_END\n"
    "case $0 in\n"
    "*/*) here=${0%/*} ;;\n"
    "*) here=. ;;\n"
    "esac\n"
    "exec \"$here/tevorin-main\" \"$@\"\n";

static_assert(kRunProgram.substr(1, kDelimiter.size() + 1) == "STAMP_END\n",
              "the line after the stamp ends the here-document");

}  // namespace

std::string LauncherScript(DWORD version) {
    std::string script;
    script += kShebang;
    script += kBodyOpen;
    script += kStampPrefix;
    for (int i = 0; i < 4; ++i) script.push_back(static_cast<char>((version >> (8 * i)) & 0xFF));
    script += kRunProgram;
    return script;
}

}  // namespace main_stand_in
