#include "loopback_manifest_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

LoopbackManifestServer::LoopbackManifestServer(std::string body) {
    response_ =
        "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 64) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackManifestServer::~LoopbackManifestServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listenFd_ >= 0) ::close(listenFd_);
}

std::string LoopbackManifestServer::Address() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LoopbackManifestServer::Serve() {
    while (!stopping_) {
        pollfd listening{listenFd_, POLLIN, 0};
        if (::poll(&listening, 1, 50) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        // Read the request head up to its empty line (or until the client
        // stops sending), then answer.
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            pollfd client{fd, POLLIN, 0};
            if (::poll(&client, 1, 2000) <= 0) break;
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0) break;
            head.append(buffer, static_cast<std::size_t>(got));
        }
        std::size_t sent = 0;
        while (sent < response_.size()) {
            const ssize_t n =
                ::send(fd, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
        ++served_;
    }
}
