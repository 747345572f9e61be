#include "tools/main/install.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "tools/main/launcher_script.h"

namespace main_stand_in {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool CopyAll(int from, int to) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(n)))) return false;
    }
}

// Writes `name` in `dir` through a temporary file that `fill` writes to,
// then renames it over whatever had that name.
template <typename Fill>
bool ReplaceFile(const std::string& dir, const char* name, Fill fill, std::string* error) {
    const std::string target = dir + "/" + name;
    std::string temporary = dir + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        *error = SystemError("cannot create a file in " + dir);
        return false;
    }
    bool ok = fill(fd);
    if (!ok) *error = SystemError("cannot write " + temporary);
    if (ok && ::fchmod(fd, 0755) != 0) {
        *error = SystemError("cannot make " + temporary + " executable");
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        *error = SystemError("cannot flush " + temporary);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        *error = SystemError("cannot close " + temporary);
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        *error = SystemError("cannot put " + target + " in place");
        ok = false;
    }
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool EnsureDirectory(const std::string& dir, std::string* error) {
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        *error = SystemError("cannot create " + dir);
        return false;
    }
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *error = dir + " is not a directory";
        return false;
    }
    return true;
}

}  // namespace

bool InstallMainProgram(const std::string& dir, DWORD version, std::string* error) {
    if (!EnsureDirectory(dir, error)) return false;
    const int self = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (self < 0) {
        *error = SystemError("cannot read the running program");
        return false;
    }
    const bool programCopied = ReplaceFile(
        dir, kProgramName, [self](int fd) { return CopyAll(self, fd); }, error);
    ::close(self);
    if (!programCopied) return false;
    const std::string script = LauncherScript(version);
    return ReplaceFile(
        dir, kLauncherName, [&script](int fd) { return WriteAll(fd, script); }, error);
}

}  // namespace main_stand_in
