#pragma once
// A small HTTP server for tests, listening on 127.0.0.1 only, with exact
// control over the bytes of each response: where the writes break, pauses
// between them, a connection that is reset or held open without data.
// Every connection carries one request and gets one scripted answer.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace test_support {

struct HttpRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::string head;    // the whole request head, request line included
    // The value of the first header of that name (case-insensitive), or "".
    std::string Header(std::string_view name) const;
};

// What the server does on one connection, step by step.
class ResponseScript {
  public:
    // Writes these bytes (as one write call, however the kernel splits it).
    ResponseScript& Send(std::string bytes);
    // Waits before the next step.
    ResponseScript& Pause(std::chrono::milliseconds duration);
    // Ends the connection with a TCP reset instead of an orderly close.
    ResponseScript& Reset();
    // Sends nothing more and keeps the connection open until the server stops.
    ResponseScript& HoldOpen();

    struct Step {
        enum class Kind { Send, Pause, Reset, HoldOpen } kind;
        std::string bytes;
        std::chrono::milliseconds pause{0};
    };
    const std::vector<Step>& Steps() const { return steps_; }

  private:
    std::vector<Step> steps_;
};

// A complete response: status line, the given header lines (each without its
// CR LF), an empty line and the body, sent in one write.
std::string HttpResponseBytes(int status, const std::vector<std::string>& headers,
                              std::string_view body);
// A response with "Content-Length" set to the body's size.
std::string HttpResponseWithLength(int status, std::string_view body);
// A chunked body: each piece as one chunk, then the last chunk and the end,
// unless `terminate` is false.
std::string ChunkedBody(const std::vector<std::string>& pieces, bool terminate = true);

class TestHttpServer {
  public:
    using Handler = std::function<ResponseScript(const HttpRequest&)>;

    // Starts listening on an ephemeral port of 127.0.0.1.
    explicit TestHttpServer(Handler handler);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Started() const { return port_ != 0; }
    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `pathAndQuery`.
    std::string Url(std::string_view pathAndQuery) const;
    std::u16string Url16(std::string_view pathAndQuery) const;

    std::vector<HttpRequest> Requests() const;

    // Stops listening, closes every connection (held-open ones too) and joins
    // all threads.
    void Stop();

  private:
    void AcceptLoop();
    void Serve(int fd);
    bool WaitReadable(int fd, int timeoutMs) const;  // false once stopping
    bool SendAll(int fd, std::string_view bytes) const;
    bool SleepUnlessStopping(std::chrono::milliseconds duration) const;

    Handler handler_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connectionThreads_;
    std::vector<HttpRequest> requests_;
};

}  // namespace test_support
