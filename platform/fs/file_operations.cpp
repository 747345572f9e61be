#include "platform/fs/file_operations.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "platform/core/native_path.h"
#include "platform/fs/file_system_name.h"
#include "platform/fs/program_file.h"

namespace {

constexpr const char* kDefaultSystemDirectory = "/usr/local/lib";

std::optional<std::string> NameOf(const char16_t* path) {
    if (path == nullptr || *path == u'\0') return std::nullopt;
    return ToFileSystemName(path);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    int Get() const { return fd_; }
    // Closes now and reports whether the close succeeded.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyContent(int from, int to) {
    static constexpr std::size_t kChunk = 1 << 16;
    std::string buffer(kChunk, '\0');
    for (;;) {
        const ssize_t got = read(from, buffer.data(), kChunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
    }
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The rename has reached the disk only once its directory is flushed too.
// Some file systems cannot flush a directory; the copy is in place anyway.
void FlushDirectory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without that rename: a hard link fails just as surely
    // when the name is taken.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    if (unlink(from.c_str()) != 0) {
        const int error = errno;
        (void)unlink(to.c_str());
        errno = error;
        return false;
    }
    return true;
}

// Writes a new file beside `destination` under a temporary name, flushes it
// to the disk and renames it over the destination, so the destination holds
// either its old content or the whole new one. The temporary file is removed
// on failure.
bool WriteBesideAndRename(const std::string& destination, mode_t mode, bool failIfExists,
                          const std::function<bool(int)>& writeContent) {
    std::string temporary = DirectoryOf(destination) + "/." + BaseNameOf(destination) + ".new-XXXXXX";
    Descriptor out(mkostemp(temporary.data(), O_CLOEXEC));
    if (out.Get() < 0) return false;
    bool ok = writeContent(out.Get());
    ok = ok && fchmod(out.Get(), mode) == 0;
    ok = ok && fsync(out.Get()) == 0;
    ok = out.Close() && ok;
    if (ok) {
        ok = failIfExists ? RenameWithoutReplacing(temporary, destination)
                          : rename(temporary.c_str(), destination.c_str()) == 0;
    }
    if (!ok) {
        (void)unlink(temporary.c_str());
        return false;
    }
    FlushDirectory(DirectoryOf(destination));
    return true;
}

}  // namespace

BOOL CreateDirectoryW(const char16_t* path, SECURITY_ATTRIBUTES* /*security*/) {
    const std::optional<std::string> name = NameOf(path);
    if (!name) return FALSE;
    return mkdir(name->c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL DeleteFileW(const char16_t* path) {
    const std::optional<std::string> name = NameOf(path);
    if (!name) return FALSE;
    return unlink(name->c_str()) == 0 ? TRUE : FALSE;
}

BOOL SetFileAttributesW(const char16_t* path, DWORD attributes) {
    const std::optional<std::string> name = NameOf(path);
    if (!name) return FALSE;
    struct stat info {};
    if (stat(name->c_str(), &info) != 0) return FALSE;
    mode_t mode = info.st_mode & 07777;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else {
        mode |= S_IWUSR;
    }
    if (mode == (info.st_mode & 07777)) return TRUE;
    return chmod(name->c_str(), mode) == 0 ? TRUE : FALSE;
}

bool IsReadOnlyFile(const char16_t* path) {
    const std::optional<std::string> name = NameOf(path);
    struct stat info {};
    return name && stat(name->c_str(), &info) == 0 &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

BOOL CopyFileW(const char16_t* existingFile, const char16_t* newFile, BOOL failIfExists) {
    const std::optional<std::string> source = NameOf(existingFile);
    const std::optional<std::string> destination = NameOf(newFile);
    if (!source || !destination) return FALSE;

    Descriptor in(open(source->c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) return FALSE;
    struct stat sourceInfo {};
    if (fstat(in.Get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) return FALSE;

    struct stat existing {};
    if (stat(destination->c_str(), &existing) == 0) {
        if (failIfExists || S_ISDIR(existing.st_mode)) return FALSE;
        // A read-only destination is refused, as it is on the updater's home
        // system: the caller must clear the attribute first.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return FALSE;
    }

    mode_t mode = sourceInfo.st_mode & 0777;
    if (IsProgramFile(in.Get())) mode |= (mode & 0444) >> 2;
    const int from = in.Get();
    return WriteBesideAndRename(*destination, mode, failIfExists != FALSE,
                                [from](int to) { return CopyContent(from, to); })
               ? TRUE
               : FALSE;
}

bool ReplaceFileContent(const char16_t* path, std::string_view content) {
    const std::optional<std::string> name = NameOf(path);
    if (!name) return false;
    return WriteBesideAndRename(*name, 0644, false, [content](int to) {
        return WriteAll(to, content.data(), content.size());
    });
}

int _waccess(const char16_t* path, int mode) {
    int how = 0;
    switch (mode) {
        case 0: how = F_OK; break;
        case 2: how = W_OK; break;
        case 4: how = R_OK; break;
        case 6: how = R_OK | W_OK; break;
        default: return -1;
    }
    const std::optional<std::string> name = NameOf(path);
    if (!name) return -1;
    return access(name->c_str(), how) == 0 ? 0 : -1;
}

int _wrename(const char16_t* oldName, const char16_t* newName) {
    const std::optional<std::string> from = NameOf(oldName);
    const std::optional<std::string> to = NameOf(newName);
    if (!from || !to) return -1;
    return RenameWithoutReplacing(*from, *to) ? 0 : -1;
}

UINT GetSystemDirectoryW(char16_t* buffer, UINT size) {
    const char* configured = std::getenv("TEVORIN_SYSTEM_DIR");
    std::string narrow = configured != nullptr && *configured != '\0' ? configured
                                                                       : kDefaultSystemDirectory;
    while (narrow.size() > 1 && narrow.back() == '/') narrow.pop_back();
    const std::u16string dir = FromNativePath(narrow);
    const auto length = static_cast<UINT>(dir.size());
    if (buffer == nullptr || size <= length) return length + 1;
    dir.copy(buffer, length);
    buffer[length] = u'\0';
    return length;
}
