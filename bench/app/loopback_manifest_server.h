#pragma once
// A minimal HTTP server on 127.0.0.1 answering every request with one fixed
// manifest, for benchmarks: one request per connection, served in turn.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class LoopbackManifestServer {
  public:
    explicit LoopbackManifestServer(std::string body);
    ~LoopbackManifestServer();
    LoopbackManifestServer(const LoopbackManifestServer&) = delete;
    LoopbackManifestServer& operator=(const LoopbackManifestServer&) = delete;

    bool Started() const { return port_ != 0; }
    // "http://127.0.0.1:<port>"
    std::string Address() const;
    long Served() const { return served_.load(); }

  private:
    void Serve();

    std::string response_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<long> served_{0};
    std::thread thread_;
};
