#include "platform/win/session_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace tevorin::win {
namespace {

bool MakeAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

SessionSocket::~SessionSocket() {
    Close();
}

void SessionSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
    fd_ = -1;
    path_.clear();
}

bool SessionSocket::Bind(const std::string& path, std::string* error) {
    Close();
    sockaddr_un address;
    if (!MakeAddress(path, &address)) {
        if (error) *error = path + ": socket path too long";
        return false;
    }
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        if (error) *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    ::unlink(path.c_str());
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    path_ = path;
    return true;
}

std::optional<SessionDatagram> SessionSocket::Receive(int* dropped) {
    if (fd_ < 0) return std::nullopt;
    std::vector<std::uint8_t> buffer(kMaxSessionDatagram + 1);
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;  // nothing waiting (or a socket error: nothing to read either)
        }
        if (static_cast<std::size_t>(n) <= kMaxSessionDatagram) {
            if (auto datagram = DecodeSessionDatagram(buffer.data(), static_cast<std::size_t>(n)))
                return datagram;
        }
        if (dropped != nullptr) ++*dropped;
    }
}

bool SessionSocket::SendTo(const std::string& path, const SessionDatagram& datagram) {
    if (fd_ < 0) return false;
    sockaddr_un address;
    if (!MakeAddress(path, &address)) return false;
    const auto bytes = EncodeSessionDatagram(datagram);
    if (bytes.size() > kMaxSessionDatagram) return false;
    for (;;) {
        const ssize_t n = ::sendto(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                   reinterpret_cast<sockaddr*>(&address), sizeof address);
        if (n < 0 && errno == EINTR) continue;
        return n == static_cast<ssize_t>(bytes.size());
    }
}

std::optional<SessionDatagram> SessionRequest(const std::string& replyDirectory,
                                              const std::string& target, SessionDatagram request,
                                              int timeoutMs) {
    static std::atomic<unsigned> counter{0};
    const unsigned serial = ++counter;
    SessionSocket reply;
    const std::string replyPath =
        replyDirectory + "/.tmp-" + std::to_string(::getpid()) + "-reply-" + std::to_string(serial);
    if (!reply.Bind(replyPath, nullptr)) return std::nullopt;
    request.replyTo = replyPath;
    request.requestId = serial;
    if (!reply.SendTo(target, request)) return std::nullopt;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (auto answer = reply.Receive(nullptr))
            if (answer->command == SessionCommand::kReply && answer->requestId == serial)
                return answer;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd p{reply.Fd(), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
}

}  // namespace tevorin::win
