#include "download/download_file.h"

#include <cstdint>
#include <memory>

#include "download/download_messages.h"
#include "download/gunzip.h"
#include "platform/core/file.h"
#include "platform/core/text.h"
#include "platform/fs/file_operations.h"
#include "platform/net/internet.h"
#include "platform/win/message_loop.h"

namespace {

constexpr DWORD kTransferBufferSize = 8192;
constexpr DWORD kOpenUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES;
static_assert(kOpenUrlFlags == 0xA4080000);
constexpr UINT kCreateForWriting = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary;
static_assert(kCreateForWriting == 0x9001);

bool IsCancelled(const FileDownloadJob& job) {
    return job.cancel != nullptr && job.cancel->load(std::memory_order_acquire);
}

// Asks for one response header into the transfer buffer; the text, or false
// when the header is missing.
bool QueryHeader(HINTERNET request, DWORD level, char* buffer, std::u16string& text) {
    DWORD length = kTransferBufferSize;
    if (!HttpQueryInfoW(request, level, buffer, &length, nullptr)) return false;
    text.assign(reinterpret_cast<const char16_t*>(buffer), length / sizeof(char16_t));
    return true;
}

// What became of the body.
enum class BodyOutcome { Complete, Failed };

// Steps 8 to 11: the response has status 200 and its length is known (or
// not); writes the body into the temporary file and reports progress.
BodyOutcome ReceiveBody(const FileDownloadJob& job, HINTERNET request, char* buffer, DWORD total,
                        const std::u16string& targetPath, const std::u16string& tempPath) {
    (void)DeleteFileW(tempPath.c_str());
    (void)DeleteFileW(targetPath.c_str());

    CStdioFile file;
    if (!file.Open(tempPath, kCreateForWriting)) return BodyOutcome::Failed;

    DWORD received = 0;
    bool broken = false;  // a read or a write failed before the end of the body
    while (true) {
        DWORD bytesRead = 0;
        if (!InternetReadFile(request, buffer, kTransferBufferSize, &bytesRead)) {
            // A connection that breaks or stalls is no end of the body, with or
            // without an announced length.
            broken = true;
            break;
        }
        if (bytesRead == 0) break;
        if (!file.Write(buffer, bytesRead)) {
            broken = true;  // a full disk: the file would be cut short
            break;
        }
        received += bytesRead;
        if (!IsCancelled(job))
            SendMessageW(job.reportTo, WM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(job.index),
                         DownloadPercent(received, total));
    }
    const bool closed = file.Close();
    if (broken || !closed || (total != 0 && received < total)) {
        (void)DeleteFileW(tempPath.c_str());
        return BodyOutcome::Failed;
    }
    return BodyOutcome::Complete;
}

// Step 12: the complete temporary file goes into its place.
bool PutInPlace(const FileDownloadJob& job, const std::u16string& targetPath,
                const std::u16string& tempPath) {
    if (!IsZippedFlag(ReadSlot(job.entry.zipped)))
        return _wrename(tempPath.c_str(), targetPath.c_str()) == 0;
    // The expansion goes beside the target and takes its name only when it is
    // whole: a process killed meanwhile leaves no part file under the
    // target's name, which a later retry would take for a finished download.
    const std::u16string expandingPath = targetPath + u".part";
    bool expanded = false;
    if (!IsCancelled(job)) {
        expanded = GunzipFile(tempPath, expandingPath) &&
                   _wrename(expandingPath.c_str(), targetPath.c_str()) == 0;
    }
    (void)DeleteFileW(tempPath.c_str());
    if (!expanded) {
        (void)DeleteFileW(expandingPath.c_str());
        (void)DeleteFileW(targetPath.c_str());
    }
    return expanded;
}

// Steps 3 to 13; true when the file is in place.
bool Fetch(const FileDownloadJob& job, const std::u16string& targetPath,
           const std::u16string& tempPath) {
    auto buffer = std::make_unique<char[]>(kTransferBufferSize);  // zero-filled

    HINTERNET session =
        InternetOpenW(u"TevorinLiveUpdate", INTERNET_OPEN_TYPE_PRECONFIG, u"", nullptr, 0);
    if (session == nullptr) return false;
    InternetSessionOptions options;
    options.stallTimeout = DefaultStallTimeout();
    options.cancel = job.cancel;
    if (!InternetSetSessionOptions(session, options) || IsCancelled(job)) {
        InternetCloseHandle(session);
        return false;
    }

    const std::u16string src = ReadSlot(job.entry.src);
    HINTERNET request = InternetOpenUrlW(session, src.c_str(), nullptr, 0, kOpenUrlFlags, 0);
    if (request == nullptr) {
        InternetCloseHandle(session);
        return false;
    }

    bool ok = false;
    std::u16string text;
    if (QueryHeader(request, HTTP_QUERY_STATUS_CODE, buffer.get(), text) &&
        _wtoi(text.c_str()) == 200) {
        DWORD total = 0;
        if (QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH, buffer.get(), text)) {
            total = static_cast<DWORD>(_wtol(text.c_str()));
            if (!IsCancelled(job))
                SendMessageW(job.reportTo, WM_DOWNLOAD_SIZE, static_cast<WPARAM>(job.index),
                             static_cast<LPARAM>(total >> 10));
        }
        if (ReceiveBody(job, request, buffer.get(), total, targetPath, tempPath) ==
            BodyOutcome::Complete)
            ok = PutInPlace(job, targetPath, tempPath);
    }
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return ok;
}

}  // namespace

bool IsSafeDownloadName(std::u16string_view filename) {
    if (filename.empty() || filename == u"." || filename == u"..") return false;
    return filename.find_first_of(u"/\\") == std::u16string_view::npos;
}

bool IsZippedFlag(std::u16string_view zipped) {
    return ToLowerCase(TrimWhiteSpace(zipped)) == u"true";
}

LPARAM DownloadPercent(DWORD received, DWORD total) {
    if (total == 0) return 0;
    const double percent = static_cast<double>(received) * 100.0 / static_cast<double>(total);
    const auto whole = static_cast<std::uint64_t>(percent);
    return static_cast<LPARAM>(static_cast<DWORD>(whole));
}

void DownloadFileEntry(const FileDownloadJob& job) {
    const std::u16string filename = ReadSlot(job.entry.filename);
    bool ok = false;
    if (IsSafeDownloadName(filename)) {
        const std::u16string targetPath = job.upgradeDir + filename;
        const std::u16string tempPath = targetPath + u".tmp";
        if (job.retryMode && _waccess(targetPath.c_str(), 0) != -1)
            ok = true;  // fetched by an earlier attempt
        else
            ok = Fetch(job, targetPath, tempPath);
    }
    PostMessageW(job.reportTo, WM_DOWNLOAD_DONE, static_cast<WPARAM>(job.index), ok ? 1 : 0);
}
