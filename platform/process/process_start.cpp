#include "platform/process/process_start.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/ansi_code_page.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/file_system_name.h"
#include "platform/fs/program_file.h"
#include "platform/process/command_line.h"
#include "platform/process/detached_start.h"

namespace {

constexpr INT_PTR kShellStarted = 42;
constexpr UINT kExecStarted = 33;

bool IsEmpty(const char16_t* text) { return text == nullptr || *text == u'\0'; }

bool IsWebAddress(const std::string& target) {
    std::size_t i = 0;
    while (i < target.size() &&
           (std::isalnum(static_cast<unsigned char>(target[i])) || target[i] == '+' ||
            target[i] == '-' || target[i] == '.')) {
        ++i;
    }
    // At least two letters, so that a drive-like "C:" never reads as an address.
    if (i < 2 || i >= target.size() || target[i] != ':' ||
        !std::isalpha(static_cast<unsigned char>(target[0]))) {
        return false;
    }
    return target.compare(i, 3, "://") == 0 || target.compare(0, i, "mailto") == 0;
}

INT_PTR ShellErrorFrom(int error) {
    switch (error) {
        case ENOENT: return SE_ERR_FNF;
        case ENOTDIR: return SE_ERR_PNF;
        case EACCES:
        case EPERM:
        case ENOEXEC:
        case ETXTBSY: return SE_ERR_ACCESSDENIED;
        default: return SE_ERR_OOM;
    }
}

UINT ExecErrorFrom(int error) {
    switch (error) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case ETXTBSY: return ERROR_ACCESS_DENIED;
        case ENOEXEC: return ERROR_BAD_FORMAT;
        default: return ERROR_NOT_ENOUGH_MEMORY;
    }
}

INT_PTR OpenOnDesktop(const std::string& target) {
    const std::string opener = FindProgram("xdg-open", {});
    if (opener.empty()) return SE_ERR_NOASSOC;
    const int error = StartDetachedProcess(opener, {opener, target}, std::nullopt);
    return error == 0 ? kShellStarted : ShellErrorFrom(error);
}

std::string MakeAbsolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    std::string cwd(4096, '\0');
    if (getcwd(cwd.data(), cwd.size()) == nullptr) return path;
    cwd.resize(cwd.find('\0'));
    return cwd + "/" + path;
}

std::vector<std::string> SystemDirectories() {
    char16_t buffer[4096];
    const UINT length = GetSystemDirectoryW(buffer, 4096);
    if (length == 0 || length >= 4096) return {};
    std::optional<std::string> dir = ToFileSystemName(std::u16string_view(buffer, length));
    if (!dir) return {};
    return {*dir};
}

}  // namespace

INT_PTR ShellExecuteW(HWND /*owner*/, const char16_t* verb, const char16_t* file,
                      const char16_t* parameters, const char16_t* directory, int /*showCommand*/) {
    if (!IsEmpty(verb) && std::u16string_view(verb) != u"open") return SE_ERR_NOASSOC;
    if (IsEmpty(file)) return SE_ERR_FNF;
    const std::optional<std::string> target = ToFileSystemName(file);
    if (!target) return SE_ERR_FNF;
    if (IsWebAddress(*target)) return OpenOnDesktop(*target);

    std::string path = *target;
    if (path.find('/') == std::string::npos && access(path.c_str(), F_OK) != 0) {
        path = FindProgram(path, {});
        if (path.empty()) return SE_ERR_FNF;
    }
    path = MakeAbsolute(path);

    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return ShellErrorFrom(errno);
    struct stat info {};
    const bool isFile = fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
    const bool isProgram = isFile && IsProgramFile(descriptor);
    if (isProgram && (info.st_mode & S_IXUSR) == 0) {
        // A program that arrived as a download has no execute permission yet;
        // on the updater's home system being a program is enough to run.
        // Where the permission cannot be given, the start below fails.
        (void)fchmod(descriptor, (info.st_mode & 07777) | ((info.st_mode & 0444) >> 2));
    }
    close(descriptor);
    if (!isProgram) return OpenOnDesktop(path);

    std::vector<std::string> arguments{path};
    if (!IsEmpty(parameters)) {
        const std::optional<std::string> narrow = ToFileSystemName(parameters);
        if (!narrow) return SE_ERR_FNF;
        for (std::string& argument : SplitArguments(*narrow)) arguments.push_back(std::move(argument));
    }
    std::optional<std::string> workingDirectory;
    if (!IsEmpty(directory)) {
        workingDirectory = ToFileSystemName(directory);
        if (!workingDirectory) return SE_ERR_PNF;
    }
    const int error = StartDetachedProcess(path, arguments, workingDirectory);
    return error == 0 ? kShellStarted : ShellErrorFrom(error);
}

UINT WinExec(const char* commandLine, UINT /*showCommand*/) {
    if (commandLine == nullptr) return ERROR_FILE_NOT_FOUND;
    // Split after conversion: in some code pages the second byte of a
    // character can look like a quote or a backslash.
    const std::optional<std::string> text = ToFileSystemName(MultiByteToWideChar(commandLine));
    if (!text) return ERROR_FILE_NOT_FOUND;
    std::vector<std::string> arguments = SplitCommandLine(*text);
    if (arguments.empty() || arguments.front().empty()) return ERROR_FILE_NOT_FOUND;
    std::string program = arguments.front();
    if (program.find('/') == std::string::npos) {
        program = FindProgram(program, SystemDirectories());
        if (program.empty()) return ERROR_FILE_NOT_FOUND;
    }
    const int error = StartDetachedProcess(program, arguments, std::nullopt);
    return error == 0 ? kExecStarted : ExecErrorFrom(error);
}
