#include "platform/win/session_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/win/window_handles.h"

namespace tevorin::win {
namespace {

constexpr const char* kWindowPrefix = "window-";
constexpr const char* kSocketPrefix = "process-";
constexpr const char* kTempPrefix = ".tmp-";
constexpr const char* kCounterName = "handles";
constexpr std::size_t kMaxEntrySize = 64 * 1024;

bool ReadSmallFile(const std::string& path, std::string* out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > kMaxEntrySize) {
        ::close(fd);
        return false;
    }
    out->clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out->append(buffer, static_cast<std::size_t>(n));
        if (out->size() > kMaxEntrySize) break;
    }
    ::close(fd);
    return out->size() <= kMaxEntrySize;
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

template <typename T>
bool ParseNumber(std::string_view text, T* out) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *out);
    return error == std::errc() && end == text.data() + text.size();
}

std::string HexOfUtf16(const std::u16string& text) {
    static const char* digits = "0123456789abcdef";
    std::string hex;
    hex.reserve(text.size() * 4);
    for (char16_t c : text)
        for (int shift = 12; shift >= 0; shift -= 4) hex.push_back(digits[(c >> shift) & 0xF]);
    return hex;
}

bool Utf16OfHex(std::string_view hex, std::u16string* out) {
    if (hex.size() % 4 != 0) return false;
    out->clear();
    for (std::size_t i = 0; i < hex.size(); i += 4) {
        unsigned value = 0;
        auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 4, value, 16);
        if (error != std::errc() || end != hex.data() + i + 4) return false;
        out->push_back(static_cast<char16_t>(value));
    }
    return true;
}

}  // namespace

std::string DefaultSessionDirectory() {
    if (const char* explicitPath = std::getenv("TEVORIN_DESKTOP"); explicitPath && *explicitPath)
        return explicitPath;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/tevorin-desktop";
    return "/tmp/tevorin-desktop-" + std::to_string(::geteuid());
}

unsigned long long ProcessStartTime(pid_t pid) {
    if (pid <= 0) return 0;
    std::string stat;
    const int fd = ::open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0) return 0;
    stat.assign(buffer, static_cast<std::size_t>(n));
    // The command name may hold blanks and parentheses; fields follow the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    // Field 3 is the state; the start time is field 22.
    for (int index = 3; index <= 22; ++index)
        if (!(fields >> field)) return 0;
    unsigned long long start = 0;
    return ParseNumber(std::string_view(field), &start) ? start : 0;
}

bool ProcessIsAlive(pid_t pid, unsigned long long startTime) {
    if (pid <= 0) return false;
    const unsigned long long now = ProcessStartTime(pid);
    if (now == 0) return false;
    return startTime == 0 || now == startTime;
}

std::string FormatWindowEntry(const SessionWindowEntry& e) {
    std::ostringstream out;
    out << "tevorin-window 1\n"
        << "handle " << e.handle << "\n"
        << "pid " << e.pid << "\n"
        << "start " << e.processStart << "\n"
        << "thread " << e.threadId << "\n"
        << "visible " << (e.visible ? 1 : 0) << "\n"
        << "iconic " << (e.iconic ? 1 : 0) << "\n"
        << "rect " << e.rect.left << " " << e.rect.top << " " << e.rect.right << " "
        << e.rect.bottom << "\n"
        << "title " << HexOfUtf16(e.title) << "\n";
    return out.str();
}

std::optional<SessionWindowEntry> ParseWindowEntry(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != "tevorin-window 1") return std::nullopt;
    SessionWindowEntry e;
    int seen = 0;
    while (std::getline(in, line)) {
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        int flag = 0;
        if (key == "handle" && ParseNumber(std::string_view(value), &e.handle) && e.handle > 0) {
            seen |= 1;
        } else if (key == "pid" && ParseNumber(std::string_view(value), &e.pid) && e.pid > 0) {
            seen |= 2;
        } else if (key == "start" && ParseNumber(std::string_view(value), &e.processStart)) {
            seen |= 4;
        } else if (key == "thread" && ParseNumber(std::string_view(value), &e.threadId)) {
            seen |= 8;
        } else if (key == "visible" && ParseNumber(std::string_view(value), &flag)) {
            e.visible = flag != 0;
        } else if (key == "iconic" && ParseNumber(std::string_view(value), &flag)) {
            e.iconic = flag != 0;
        } else if (key == "rect") {
            std::istringstream r(value);
            if (!(r >> e.rect.left >> e.rect.top >> e.rect.right >> e.rect.bottom))
                return std::nullopt;
        } else if (key == "title") {
            if (!Utf16OfHex(value, &e.title)) return std::nullopt;
            seen |= 16;
        }
    }
    if (seen != 31) return std::nullopt;
    return e;
}

bool SessionDirectory::Open(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error != nullptr) *error = path + ": " + why;
        return false;
    };
    if (path.empty() || path[0] != '/') return fail("not an absolute path");
    // Make missing parents for the user's own use, then the directory itself.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return fail(std::strerror(errno));
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) return fail(std::strerror(errno));
    if (S_ISLNK(info.st_mode)) return fail("is a symbolic link");
    if (!S_ISDIR(info.st_mode)) return fail("is not a directory");
    if (info.st_uid != ::geteuid()) return fail("belongs to another user");
    if ((info.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0)
        return fail("cannot make it private");
    path_ = path;
    return true;
}

int SessionDirectory::AllocateHandles(int count) {
    if (path_.empty() || count <= 0) return 0;
    const std::string counter = path_ + "/" + kCounterName;
    const int fd = ::open(counter.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return 0;
    int first = 0;
    if (::flock(fd, LOCK_EX) == 0) {
        char buffer[32] = {};
        ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
        int next = 0;
        std::string_view text(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
        if (!ParseNumber(text, &next) || next < kFirstWindowHandle) {
            // A missing or damaged counter: start above every published handle.
            next = kFirstWindowHandle;
            for (const auto& entry : ListWindows()) next = std::max(next, entry.handle + 0x1000);
        }
        if (next > INT_MAX - count) next = kFirstWindowHandle;  // wrapped after two billion windows
        const std::string updated = std::to_string(next + count) + "\n";
        if (::ftruncate(fd, 0) == 0 &&
            ::pwrite(fd, updated.data(), updated.size(), 0) == static_cast<ssize_t>(updated.size()))
            first = next;
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return first;
}

std::string SessionDirectory::WindowPath(int handle) const {
    return path_ + "/" + kWindowPrefix + std::to_string(handle);
}

std::string SessionDirectory::SocketPath(pid_t pid) const {
    return path_ + "/" + kSocketPrefix + std::to_string(pid) + ".sock";
}

bool SessionDirectory::WriteWindow(const SessionWindowEntry& entry) {
    if (path_.empty()) return false;
    const std::string temp =
        path_ + "/" + kTempPrefix + std::to_string(::getpid()) + "-" + std::to_string(entry.handle);
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, FormatWindowEntry(entry));
    if (::close(fd) != 0 || !written ||
        ::rename(temp.c_str(), WindowPath(entry.handle).c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

void SessionDirectory::RemoveWindow(int handle) {
    if (!path_.empty()) ::unlink(WindowPath(handle).c_str());
}

std::optional<SessionWindowEntry> SessionDirectory::ReadWindow(int handle) {
    if (path_.empty() || handle <= 0) return std::nullopt;
    std::string text;
    if (!ReadSmallFile(WindowPath(handle), &text)) return std::nullopt;
    auto entry = ParseWindowEntry(text);
    if (!entry || entry->handle != handle) return std::nullopt;
    if (!ProcessIsAlive(entry->pid, entry->processStart)) {
        ::unlink(WindowPath(handle).c_str());
        return std::nullopt;
    }
    return entry;
}

std::vector<SessionWindowEntry> SessionDirectory::ListWindows() {
    std::vector<SessionWindowEntry> entries;
    if (path_.empty()) return entries;
    DIR* dir = ::opendir(path_.c_str());
    if (dir == nullptr) return entries;
    std::vector<int> handles;
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name(item->d_name);
        if (!name.starts_with(kWindowPrefix)) continue;
        int handle = 0;
        if (ParseNumber(name.substr(std::strlen(kWindowPrefix)), &handle) && handle > 0)
            handles.push_back(handle);
    }
    ::closedir(dir);
    std::sort(handles.begin(), handles.end());
    for (int handle : handles)
        if (auto entry = ReadWindow(handle)) entries.push_back(std::move(*entry));
    return entries;
}

void SessionDirectory::RemoveStaleProcessFiles() {
    if (path_.empty()) return;
    DIR* dir = ::opendir(path_.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> stale;
    while (const dirent* item = ::readdir(dir)) {
        std::string_view name(item->d_name);
        std::string_view rest;
        if (name.starts_with(kSocketPrefix) && name.ends_with(".sock")) {
            rest = name.substr(std::strlen(kSocketPrefix));
            rest.remove_suffix(5);
        } else if (name.starts_with(kTempPrefix)) {
            rest = name.substr(std::strlen(kTempPrefix));
            rest = rest.substr(0, rest.find('-'));
        } else {
            continue;
        }
        pid_t pid = 0;
        if (ParseNumber(rest, &pid) && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            stale.emplace_back(name);
    }
    ::closedir(dir);
    for (const auto& name : stale) ::unlink((path_ + "/" + name).c_str());
}

}  // namespace tevorin::win
