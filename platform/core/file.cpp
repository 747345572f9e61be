#include "platform/core/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/core/native_path.h"

namespace {

// One byte near the top of the offset range: no file reaches it, and a lock
// there never overlaps data that someone else may lock.
constexpr off_t kShareLockOffset = static_cast<off_t>(1) << 62;

CFile::OpenError ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return CFile::OpenError::kNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return CFile::OpenError::kAccessDenied;
        case EISDIR:
            return CFile::OpenError::kIsDirectory;
        default:
            return CFile::OpenError::kOther;
    }
}

bool AccessAllows(int accessMode, short lockType) {
    if (accessMode == O_RDWR) return true;
    return lockType == F_RDLCK ? accessMode == O_RDONLY : accessMode == O_WRONLY;
}

// Takes the share lock on `fd`. Returns 0, or the errno of the failure.
int TakeShareLock(int fd, short lockType) {
    struct flock lock = {};
    lock.l_type = lockType;
    lock.l_whence = SEEK_SET;
    lock.l_start = kShareLockOffset;
    lock.l_len = 1;
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return 0;
    return errno;
}

int CloseKeepingErrno(int fd) {
    const int saved = errno;
    const int result = close(fd);
    errno = saved;
    return result;
}

}  // namespace

CFile::~CFile() { Close(); }

bool CFile::Open(std::u16string_view path, UINT flags) {
    Close();
    openError_ = OpenError::kNone;

    int accessMode = O_RDONLY;
    if (flags & modeReadWrite) {
        accessMode = O_RDWR;
    } else if (flags & modeWrite) {
        accessMode = O_WRONLY;
    }
    const UINT share = flags & 0x0070;
    const short lockType = share == shareDenyNone ? F_RDLCK : F_WRLCK;
    const bool create = (flags & modeCreate) != 0;
    const bool truncate = create && (flags & modeNoTruncate) == 0;

    // Truncation waits until the share lock is held, so that a refused open
    // leaves the file as it was.
    const std::string nativePath = ToNativePath(path);
    // Non-blocking, so that a FIFO in place of a file cannot hang the open;
    // only regular files are accepted, and they never block anyway.
    const int fd = open(nativePath.c_str(),
                        accessMode | O_CLOEXEC | O_NONBLOCK | (create ? O_CREAT : 0), 0666);
    if (fd < 0) {
        openError_ = errno == ENXIO ? OpenError::kNotAFile : ErrorFromErrno(errno);
        return false;
    }
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        openError_ = S_ISDIR(info.st_mode)   ? OpenError::kIsDirectory
                     : !S_ISREG(info.st_mode) ? OpenError::kNotAFile
                                              : ErrorFromErrno(errno);
        CloseKeepingErrno(fd);
        return false;
    }
    const int statusFlags = fcntl(fd, F_GETFL);
    if (statusFlags < 0 || fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
        openError_ = ErrorFromErrno(errno);
        CloseKeepingErrno(fd);
        return false;
    }

    // The lock needs a descriptor whose access mode permits its kind; a
    // second description of the same file, opened through /proc, serves when
    // the caller's does not.
    int lockFd = fd;
    short effectiveLock = lockType;
    if (!AccessAllows(accessMode, lockType)) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        lockFd = open(self.c_str(), O_RDWR | O_CLOEXEC);
        if (lockFd < 0) {
            lockFd = open(self.c_str(), (lockType == F_RDLCK ? O_RDONLY : O_WRONLY) | O_CLOEXEC);
        }
        if (lockFd < 0 && lockType == F_WRLCK) {
            // Neither writable by us: hold at least a read lock, which still
            // keeps every exclusive open of others out.
            effectiveLock = F_RDLCK;
            lockFd = AccessAllows(accessMode, F_RDLCK) ? fd : open(self.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (lockFd < 0) {
            openError_ = ErrorFromErrno(errno);
            CloseKeepingErrno(fd);
            return false;
        }
    }
    const int lockError = TakeShareLock(lockFd, effectiveLock);
    if (lockError != 0) {
        openError_ = lockError == EAGAIN || lockError == EACCES ? OpenError::kSharingViolation
                                                                : OpenError::kOther;
        if (lockFd != fd) CloseKeepingErrno(lockFd);
        CloseKeepingErrno(fd);
        return false;
    }
    if (truncate && ftruncate(fd, 0) != 0) {
        openError_ = ErrorFromErrno(errno);
        if (lockFd != fd) CloseKeepingErrno(lockFd);
        CloseKeepingErrno(fd);
        return false;
    }
    fd_ = fd;
    lockFd_ = lockFd != fd ? lockFd : -1;
    return true;
}

std::int64_t CFile::Seek(std::int64_t offset, UINT from) {
    if (fd_ < 0) return -1;
    int whence = SEEK_SET;
    if (from == current) whence = SEEK_CUR;
    if (from == end) whence = SEEK_END;
    const off_t position = lseek(fd_, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (fd_ < 0 || buffer == nullptr) return 0;
    auto* bytes = static_cast<char*>(buffer);
    UINT total = 0;
    while (total < count) {
        const ssize_t n = read(fd_, bytes + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<UINT>(n);
    }
    return total;
}

bool CFile::Write(const void* buffer, UINT count) {
    if (fd_ < 0 || (buffer == nullptr && count != 0)) return false;
    const auto* bytes = static_cast<const char*>(buffer);
    UINT total = 0;
    while (total < count) {
        const ssize_t n = write(fd_, bytes + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        total += static_cast<UINT>(n);
    }
    return true;
}

std::int64_t CFile::GetLength() const {
    if (fd_ < 0) return -1;
    struct stat info = {};
    if (fstat(fd_, &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool CFile::Close() {
    // Closing the descriptors releases the share lock with them. The
    // descriptors are gone even when close reports an error; the error only
    // tells that written data may not have reached the disk.
    bool closed = true;
    if (lockFd_ >= 0) {
        closed = close(lockFd_) == 0 && closed;
        lockFd_ = -1;
    }
    if (fd_ >= 0) {
        closed = close(fd_) == 0 && closed;
        fd_ = -1;
    }
    return closed;
}
