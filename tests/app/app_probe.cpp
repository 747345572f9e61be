// Usage: app_probe module-dir         prints GetModuleDir() as UTF-8
//        app_probe write-stamp HEX    WriteVersionStamp(HEX); exit 0 on success
#include <cstdio>
#include <cstring>
#include <string>

#include "app/module_dir.h"
#include "app/version.h"
#include "app/version_stamp.h"
#include "platform/core/text.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "module-dir") == 0) {
        std::printf("%s", Utf16ToUtf8(GetModuleDir()).c_str());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "write-stamp") == 0) {
        return WriteVersionStamp(ParseHexVersion(Utf8ToUtf16(argv[2]))) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: app_probe module-dir | write-stamp HEX\n");
    return 2;
}
