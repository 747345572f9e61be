#include "support/test_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace test_support {

namespace {

constexpr std::size_t kMaxRequestHead = 64 * 1024;

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 206:
            return "Partial Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

std::string HttpRequest::Header(std::string_view name) const {
    const std::string wanted = Lower(name);
    std::size_t pos = head.find("\r\n");
    while (pos != std::string::npos && pos + 2 < head.size()) {
        std::size_t start = pos + 2;
        std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        std::string_view line(head.data() + start, end - start);
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && Lower(line.substr(0, colon)) == wanted) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
            return std::string(value);
        }
        pos = end;
    }
    return {};
}

ResponseScript& ResponseScript::Send(std::string bytes) {
    steps_.push_back({Step::Kind::Send, std::move(bytes), {}});
    return *this;
}
ResponseScript& ResponseScript::Pause(std::chrono::milliseconds duration) {
    steps_.push_back({Step::Kind::Pause, {}, duration});
    return *this;
}
ResponseScript& ResponseScript::Reset() {
    steps_.push_back({Step::Kind::Reset, {}, {}});
    return *this;
}
ResponseScript& ResponseScript::HoldOpen() {
    steps_.push_back({Step::Kind::HoldOpen, {}, {}});
    return *this;
}

std::string HttpResponseBytes(int status, const std::vector<std::string>& headers,
                              std::string_view body) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
    for (const std::string& header : headers) out += header + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += body;
    return out;
}

std::string HttpResponseWithLength(int status, std::string_view body) {
    return HttpResponseBytes(status, {"Content-Length: " + std::to_string(body.size())}, body);
}

std::string ChunkedBody(const std::vector<std::string>& pieces, bool terminate) {
    std::string out;
    char size[32];
    for (const std::string& piece : pieces) {
        if (piece.empty()) continue;  // an empty chunk would end the body
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        out += size;
        out += piece;
        out += "\r\n";
    }
    if (terminate) out += "0\r\n\r\n";
    return out;
}

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler)) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];

    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 64) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        return;
    }
    port_ = ntohs(address.sin_port);
    listenFd_ = fd;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
    Stop();
    if (wakeRead_ >= 0) close(wakeRead_);
    if (wakeWrite_ >= 0) close(wakeWrite_);
}

std::string TestHttpServer::Url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::u16string TestHttpServer::Url16(std::string_view pathAndQuery) const {
    std::string url = Url(pathAndQuery);
    return std::u16string(url.begin(), url.end());  // ASCII only
}

std::vector<HttpRequest> TestHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void TestHttpServer::Stop() {
    if (stopping_.exchange(true)) return;
    if (wakeWrite_ >= 0) {
        char byte = 1;
        (void)!write(wakeWrite_, &byte, 1);  // the pipe stays readable from now on
    }
    if (acceptThread_.joinable()) acceptThread_.join();
    // From now on connections are refused, not left waiting in the backlog.
    if (listenFd_ >= 0) close(listenFd_);
    listenFd_ = -1;
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(connectionThreads_);
    }
    for (std::thread& t : threads) t.join();
}

bool TestHttpServer::WaitReadable(int fd, int timeoutMs) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    int n = poll(fds, 2, timeoutMs);
    if (n < 0 && errno == EINTR) return !stopping_;
    if (fds[1].revents) return false;
    return n > 0;
}

bool TestHttpServer::SleepUnlessStopping(std::chrono::milliseconds duration) const {
    pollfd fd = {wakeRead_, POLLIN, 0};
    int n = poll(&fd, 1, static_cast<int>(duration.count()));
    return n == 0;
}

bool TestHttpServer::SendAll(int fd, std::string_view bytes) const {
    while (!bytes.empty()) {
        ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 && errno != EINTR) return false;
            if (fds[1].revents) return false;
            continue;
        }
        return false;  // the client went away
    }
    return true;
}

void TestHttpServer::AcceptLoop() {
    while (!stopping_) {
        if (!WaitReadable(listenFd_, -1)) break;
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard lock(mutex_);
        connectionThreads_.emplace_back([this, fd] { Serve(fd); });
    }
}

void TestHttpServer::Serve(int fd) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxRequestHead) {
        if (!WaitReadable(fd, 10'000)) {
            close(fd);
            return;
        }
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            close(fd);
            return;
        }
        head.append(buffer, static_cast<std::size_t>(n));
    }
    HttpRequest request;
    request.head = head.substr(0, head.find("\r\n\r\n"));
    std::size_t firstSpace = request.head.find(' ');
    std::size_t secondSpace = request.head.find(' ', firstSpace + 1);
    if (firstSpace != std::string::npos && secondSpace != std::string::npos) {
        request.method = request.head.substr(0, firstSpace);
        request.target = request.head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }

    ResponseScript script = handler_(request);
    bool reset = false;
    for (const ResponseScript::Step& step : script.Steps()) {
        bool goOn = true;
        switch (step.kind) {
            case ResponseScript::Step::Kind::Send:
                goOn = SendAll(fd, step.bytes);
                break;
            case ResponseScript::Step::Kind::Pause:
                goOn = SleepUnlessStopping(step.pause);
                break;
            case ResponseScript::Step::Kind::Reset:
                reset = true;
                goOn = false;
                break;
            case ResponseScript::Step::Kind::HoldOpen:
                SleepUnlessStopping(std::chrono::hours(1));
                goOn = false;
                break;
        }
        if (!goOn) break;
    }
    if (reset) {
        linger hard{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    } else {
        shutdown(fd, SHUT_WR);
    }
    close(fd);
}

}  // namespace test_support
