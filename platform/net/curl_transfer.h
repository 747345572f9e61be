#pragma once
// One HTTP GET on libcurl, pulled by its reader: the transfer only moves while
// the reader waits for data, and at most a small window of the body is held
// in memory (libcurl is paused while the window is full).

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

struct CurlTransferSettings {
    std::string url;  // UTF-8
    std::string agent;
    std::chrono::milliseconds connectTimeout{30'000};
    std::chrono::milliseconds stallTimeout{60'000};
    const std::atomic<bool>* cancel = nullptr;
};

enum class ReadOutcome { Data, EndOfBody, Failed };

class CurlTransfer {
  public:
    CurlTransfer();
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Starts the request and waits for the final response's headers.
    [[nodiscard]] bool Start(const CurlTransferSettings& settings);

    long StatusCode() const;
    // The Content-Length header of the final response as sent (without the
    // surrounding blanks), or nothing when the response had none.
    const std::optional<std::string>& ContentLength() const;

    // Copies up to `capacity` bytes of the body into `buffer`.
    [[nodiscard]] ReadOutcome Read(char* buffer, std::size_t capacity, std::size_t& bytesRead);

    const std::string& ErrorText() const;

    struct State;  // reached by libcurl's callbacks

  private:
    std::unique_ptr<State> state_;
};

// libcurl's global set-up, done once per process before the first handle.
[[nodiscard]] bool EnsureCurlGlobalInit();
