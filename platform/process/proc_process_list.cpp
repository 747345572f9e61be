// Process list backend over /proc.

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include "platform/core/native_path.h"
#include "platform/process/process_list.h"

namespace {

// The kernel keeps at most 15 bytes of a program's name.
constexpr std::size_t kKernelNameLimit = 15;

// Reads a small /proc file whole; false when it is gone (the process ended).
bool ReadSmallFile(const std::string& path, std::string& content) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    content.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

bool ParseProcessId(const char* text, DWORD& pid) {
    if (*text == '\0') return false;
    unsigned long long value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull) return false;
    }
    pid = static_cast<DWORD>(value);
    return pid != 0;
}

// The kernel cuts long program names to 15 bytes. When the name may have been
// cut, the file name of the program's first argument completes it if it
// begins with the cut name; for a script, whose first argument is its
// interpreter, the second argument (the script's path) is tried as well.
std::string CompleteKernelName(const std::string& dir, const std::string& name) {
    if (name.size() != kKernelNameLimit) return name;
    std::string commandLine;
    if (!ReadSmallFile(dir + "/cmdline", commandLine)) return name;
    std::size_t start = 0;
    for (int argument = 0; argument < 2 && start < commandLine.size(); ++argument) {
        const std::string_view text(commandLine.c_str() + start);
        const std::size_t slash = text.rfind('/');
        const std::string_view base = slash == std::string_view::npos ? text : text.substr(slash + 1);
        if (base.size() > name.size() && base.substr(0, name.size()) == name) {
            return std::string(base);
        }
        start += text.size() + 1;
    }
    return name;
}

}  // namespace

bool TakeProcessSnapshot(std::vector<ProcessEntry>& entries) {
    entries.clear();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return false;
    for (;;) {
        errno = 0;
        const dirent* item = readdir(proc);
        if (item == nullptr) break;
        DWORD pid = 0;
        if (!ParseProcessId(item->d_name, pid)) continue;
        const std::string dir = std::string("/proc/") + item->d_name;
        // "pid (name) state ...": the name may itself hold blanks and
        // parentheses, so it ends at the last closing parenthesis.
        std::string stat;
        if (!ReadSmallFile(dir + "/stat", stat)) continue;
        const std::size_t open = stat.find('(');
        const std::size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open ||
            close + 2 >= stat.size()) {
            continue;
        }
        const char state = stat[close + 2];
        if (state == 'Z' || state == 'X' || state == 'x') continue;
        const std::string name = stat.substr(open + 1, close - open - 1);
        entries.push_back({pid, FromNativePath(CompleteKernelName(dir, name))});
    }
    const bool complete = errno == 0;
    closedir(proc);
    if (!complete) {
        entries.clear();
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const ProcessEntry& a, const ProcessEntry& b) { return a.processId < b.processId; });
    return true;
}
