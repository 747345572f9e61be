// tevorin-main: the stand-in for the main program Tevorin.exe. Installed
// with its launcher script, it shows a window with the installed version,
// holds Tevorin.exe open while it runs and can start the updater.

#include <sys/prctl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/version_stamp.h"
#include "platform/core/file.h"
#include "platform/core/module_path.h"
#include "platform/core/native_path.h"
#include "tools/main/install.h"
#include "tools/main/launcher_script.h"
#include "tools/main/main_arguments.h"
#include "tools/main/main_window.h"

using namespace main_stand_in;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Install(const MainArguments& args) {
    std::string error;
    if (!InstallMainProgram(args.installDir, args.version, &error)) {
        std::fprintf(stderr, "tevorin-main: %s\n", error.c_str());
        return kExitFailure;
    }
    std::printf("installed %s/%s with version %X\n", args.installDir.c_str(), kLauncherName,
                static_cast<unsigned>(args.version));
    return 0;
}

int RunMainProgram(const MainArguments& args) {
    // The process list must show the main program's image name, not ours.
    if (::prctl(PR_SET_NAME, kLauncherName, 0, 0, 0) != 0) std::perror("tevorin-main: prctl");

    const std::string self = ToNativePath(GetModuleFilePath());
    const std::size_t slash = self.rfind('/');
    if (self.empty() || slash == std::string::npos) {
        std::fprintf(stderr, "tevorin-main: cannot tell where the program lies\n");
        return kExitFailure;
    }
    const std::string dir = self.substr(0, slash);
    const std::u16string launcher = FromNativePath(dir + "/" + kLauncherName);

    // Held open for the whole run: while the main program runs, nobody may
    // write its stamp.
    CFile held;
    if (!held.Open(launcher, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        std::fprintf(stderr, "tevorin-main: cannot open %s/%s\n", dir.c_str(), kLauncherName);
        return kExitFailure;
    }
    DWORD version = 0;
    if (!ReadVersionStamp(launcher, version)) {
        std::fprintf(stderr, "tevorin-main: cannot read the version of %s/%s\n", dir.c_str(),
                     kLauncherName);
        return kExitFailure;
    }
    return RunMainWindow(args.mode, dir, version);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto args = ParseMainArguments(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!args) {
        std::fprintf(stderr,
                     "tevorin-main: %s\n"
                     "usage: tevorin-main --install DIR [--version HEX]\n"
                     "       Tevorin.exe [--check | --update]\n",
                     error.c_str());
        return kExitUsage;
    }
    if (args->mode == MainMode::kInstall) return Install(*args);
    return RunMainProgram(*args);
}
