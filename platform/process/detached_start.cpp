#include "platform/process/detached_start.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

void ReportAndExit(int pipeWrite, int error) {
    // Nothing more can be done if the report itself fails.
    [[maybe_unused]] const ssize_t written = write(pipeWrite, &error, sizeof error);
    _exit(127);
}

// Runs in the started process, between fork and exec: only calls that are
// safe after a fork of a process with threads.
[[noreturn]] void ExecInChild(const char* program, char* const* argv, const char* directory,
                              int pipeWrite) {
    setsid();
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig != SIGKILL && sig != SIGSTOP) signal(sig, SIG_DFL);
    }
#ifdef SYS_close_range
    // Descriptors of ours that lack close-on-exec must not leak into the program.
    syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
#endif
    if (directory != nullptr && chdir(directory) != 0) ReportAndExit(pipeWrite, errno);
    execve(program, argv, environ);
    ReportAndExit(pipeWrite, errno);
    _exit(127);
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

}  // namespace

int StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::optional<std::string>& directory) {
    // Everything the child needs is prepared before the fork.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const char* dir = directory ? directory->c_str() : nullptr;

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return errno;
    const pid_t intermediate = fork();
    if (intermediate < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (intermediate == 0) {
        close(report[0]);
        const pid_t started = fork();
        if (started < 0) ReportAndExit(report[1], errno);
        if (started == 0) ExecInChild(program.c_str(), argv.data(), dir, report[1]);
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
    // The report pipe closes without a word when exec succeeded.
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error)) return error != 0 ? error : EIO;
    if (got != 0) return EIO;
    return 0;
}

std::string FindProgram(const std::string& name, const std::vector<std::string>& directories) {
    if (name.empty()) return {};
    std::vector<std::string> search = directories;
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        std::string list(path);
        std::size_t start = 0;
        for (;;) {
            const std::size_t colon = list.find(':', start);
            std::string entry = list.substr(start, colon == std::string::npos ? std::string::npos
                                                                              : colon - start);
            // An empty entry means the current directory, by old convention.
            search.push_back(entry.empty() ? "." : entry);
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
    }
    for (const std::string& dir : search) {
        if (dir.empty()) continue;
        const std::string candidate = dir.back() == '/' ? dir + name : dir + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return {};
}
