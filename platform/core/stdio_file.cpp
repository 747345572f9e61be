#include <algorithm>
#include <cstring>

#include "platform/core/file.h"

namespace {

// Large enough that a stream of small writes costs one system call per this
// many bytes, small enough for many files open at once.
constexpr std::size_t kGatherBytes = 64 * 1024;

}  // namespace

CStdioFile::~CStdioFile() {
    (void)Close();
}

bool CStdioFile::Open(std::u16string_view path, UINT flags) {
    (void)Close();
    failed_ = false;
    return CFile::Open(path, flags);
}

bool CStdioFile::Flush() {
    if (pendingBytes_ == 0) return !failed_;
    const bool written = CFile::Write(pending_.get(), static_cast<UINT>(pendingBytes_));
    pendingBytes_ = 0;
    if (!written) failed_ = true;
    return !failed_;
}

std::int64_t CStdioFile::Seek(std::int64_t offset, UINT from) {
    (void)Flush();
    return CFile::Seek(offset, from);
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    (void)Flush();
    return CFile::Read(buffer, count);
}

bool CStdioFile::Write(const void* buffer, UINT count) {
    if (!IsOpen() || (buffer == nullptr && count != 0) || failed_) return false;
    if (count >= kGatherBytes) {
        if (Flush() && CFile::Write(buffer, count)) return true;
        failed_ = true;
        return false;
    }
    if (pendingBytes_ + count > kGatherBytes && !Flush()) return false;
    if (!pending_) pending_ = std::make_unique<char[]>(kGatherBytes);
    std::memcpy(pending_.get() + pendingBytes_, buffer, count);
    pendingBytes_ += count;
    return true;
}

std::int64_t CStdioFile::GetLength() {
    (void)Flush();
    return CFile::GetLength();
}

bool CStdioFile::Close() {
    if (!IsOpen()) {
        pendingBytes_ = 0;
        return true;
    }
    const bool flushed = Flush();
    const bool closed = CFile::Close();
    pending_.reset();
    return flushed && closed;
}
