#pragma once
// Pulls a whole response through the HTTP client operations, under a
// watchdog that cancels the request instead of letting a test hang.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/net/internet.h"

struct FetchOutcome {
    bool opened = false;
    std::string status;
    std::optional<std::string> contentLength;
    std::string body;
    bool readFailed = false;  // the body ended with a failed read
    DWORD largestRead = 0;
    int reads = 0;
};

// Cancels `flag` when it has not been disarmed within `limit`.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::milliseconds limit) {
        thread_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (!cv_.wait_for(lock, limit, [this] { return disarmed_; })) {
                fired_ = true;
                cancel.store(true);
            }
        });
    }
    ~Watchdog() { Disarm(); }
    void Disarm() {
        {
            std::lock_guard lock(mutex_);
            disarmed_ = true;
        }
        cv_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    bool Fired() const { return fired_; }

    std::atomic<bool> cancel{false};

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool disarmed_ = false;
    bool fired_ = false;
    std::thread thread_;
};

inline std::string QueryText(HINTERNET request, DWORD level, bool& present) {
    char16_t buffer[4096];
    DWORD length = sizeof buffer;
    present = HttpQueryInfoW(request, level, buffer, &length, nullptr) != FALSE;
    if (!present) return {};
    std::string out;
    for (DWORD i = 0; i < length / 2; ++i) out += static_cast<char>(buffer[i]);
    return out;
}

inline FetchOutcome FetchWhole(const std::u16string& url, InternetSessionOptions options,
                               DWORD chunk = 8192) {
    FetchOutcome outcome;
    HINTERNET session =
        InternetOpenW(u"OstrelLiveUpdate", INTERNET_OPEN_TYPE_PRECONFIG, u"", nullptr, 0);
    if (!session) return outcome;
    if (!InternetSetSessionOptions(session, options)) {
        InternetCloseHandle(session);
        return outcome;
    }
    HINTERNET request = InternetOpenUrlW(session, url.c_str(), nullptr, 0, 0xA4000000, 0);
    if (request) {
        outcome.opened = true;
        bool present = false;
        outcome.status = QueryText(request, HTTP_QUERY_STATUS_CODE, present);
        std::string length = QueryText(request, HTTP_QUERY_CONTENT_LENGTH, present);
        if (present) outcome.contentLength = length;
        std::string buffer(chunk, '\0');
        while (true) {
            DWORD got = 0;
            if (!InternetReadFile(request, buffer.data(), chunk, &got)) {
                outcome.readFailed = true;
                break;
            }
            if (got == 0) break;
            ++outcome.reads;
            outcome.largestRead = std::max(outcome.largestRead, got);
            outcome.body.append(buffer.data(), got);
        }
        InternetCloseHandle(request);
    }
    InternetCloseHandle(session);
    return outcome;
}
