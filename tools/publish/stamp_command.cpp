// stamp FILE [VERSION]: show or set the version stamp of a program file.

#include <sys/stat.h>

#include "app/version_stamp.h"
#include "platform/core/native_path.h"
#include "platform/core/text.h"
#include "tools/publish/commands.h"
#include "tools/publish/exit_codes.h"
#include "tools/publish/version_argument.h"

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

int RunStampCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args.size() > 2 || args[0].empty()) {
        err << "usage: tevorin-publish stamp FILE [VERSION]\n";
        return kExitError;
    }
    const std::u16string path = FromNativePath(args[0]);
    if (args.size() == 1) {
        DWORD version = 0;
        if (!IsRegularFile(args[0]) || !ReadVersionStamp(path, version)) {
            err << "tevorin-publish: cannot open " << args[0]
                << " for reading: it is missing, not readable or not a file\n";
            return kExitError;
        }
        out << Utf16ToUtf8(FormatText(u"%X", static_cast<unsigned>(version))) << "\n";
        return kExitOk;
    }
    DWORD version = 0;
    if (!ParseVersionArgument(args[1], version)) {
        err << "tevorin-publish: '" << args[1]
            << "' is no version: give 1 to 8 hexadecimal digits, e.g. C1A2B\n";
        return kExitError;
    }
    if (!IsRegularFile(args[0]) || !WriteVersionStampAt(path, version)) {
        err << "tevorin-publish: cannot write the stamp of " << args[0]
            << ": the file is missing, not writable or open elsewhere\n";
        return kExitError;
    }
    return kExitOk;
}
