#pragma once
// A binary file object with the open modes, share modes and operations the
// updater's code expects of the framework's file class.
//
// Share modes are kept between processes (and between file objects of one
// process) with an open-file-description lock on one byte far beyond any real
// file end, so the lock never touches the file's data:
//  - an open that allows no sharing (the default, shareExclusive, and also
//    shareDenyRead and shareDenyWrite, which are treated as exclusive) takes a
//    write lock and fails while any other open of the file holds a lock;
//  - an open with shareDenyNone takes a read lock: it succeeds beside other
//    shareDenyNone opens and fails only while an exclusive open holds the file.
// The locks are advisory: programs that do not open files through this class
// are not held back. When a lock of the needed kind cannot be taken because
// the file can neither be read nor written by us, the open falls back to a read
// lock. Text mode is not translated; typeText and typeBinary behave alike.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/core/win_types.h"

class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    // Why the last Open failed.
    enum class OpenError {
        kNone,
        kNotFound,
        kAccessDenied,
        kSharingViolation,
        kIsDirectory,
        kNotAFile,  // a FIFO, device or socket: only regular files are opened
        kOther,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens `path`. modeCreate creates the file and empties an existing one
    // unless modeNoTruncate is given; without modeCreate a missing file fails
    // and nothing is created or truncated. An open file object is closed
    // first. Only regular files can be opened.
    [[nodiscard]] bool Open(std::u16string_view path, UINT flags);

    // Moves the file position; returns the new position, or -1 when the
    // position would be negative or the file is not open.
    std::int64_t Seek(std::int64_t offset, UINT from);

    // Reads up to `count` bytes; returns how many were read (fewer only at the
    // end of the file or on an error).
    UINT Read(void* buffer, UINT count);

    // Writes all `count` bytes; false when not all of them could be written.
    [[nodiscard]] bool Write(const void* buffer, UINT count);

    // The file's length in bytes, or -1 when it is not open.
    std::int64_t GetLength() const;

    // Closes the file; false when the system reported an error while closing
    // (written data may then be lost). Closing a closed file does nothing.
    bool Close();

    bool IsOpen() const { return fd_ >= 0; }
    OpenError LastOpenError() const { return openError_; }

  private:
    int fd_ = -1;
    int lockFd_ = -1;  // descriptor that holds the share lock, when not fd_
    OpenError openError_ = OpenError::kNone;
};

// The stdio-style file: writes are gathered in a buffer and reach the file
// in large pieces, as a stream's would. Every other operation writes the
// gathered bytes out first; a write error shows at the latest in Close.
class CStdioFile : public CFile {
  public:
    CStdioFile() = default;
    ~CStdioFile();

    [[nodiscard]] bool Open(std::u16string_view path, UINT flags);
    std::int64_t Seek(std::int64_t offset, UINT from);
    UINT Read(void* buffer, UINT count);
    [[nodiscard]] bool Write(const void* buffer, UINT count);
    std::int64_t GetLength();
    bool Close();

  private:
    // Writes the gathered bytes; false (and the file in error) when they
    // could not all be written.
    bool Flush();

    std::unique_ptr<char[]> pending_;
    std::size_t pendingBytes_ = 0;
    bool failed_ = false;  // a gathered write was lost: Close reports it
};
