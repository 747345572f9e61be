#pragma once
// A process's datagram socket in the desktop session directory, and the
// short-lived reply socket of one request. Sending never blocks: a receiver
// whose buffer is full loses the datagram, as a dead one would.

#include <optional>
#include <string>
#include <vector>

#include "platform/win/session_protocol.h"

namespace tevorin::win {

class SessionSocket {
  public:
    SessionSocket() = default;
    ~SessionSocket();
    SessionSocket(const SessionSocket&) = delete;
    SessionSocket& operator=(const SessionSocket&) = delete;

    // Binds a fresh socket at path, replacing a stale file of that name.
    [[nodiscard]] bool Bind(const std::string& path, std::string* error);
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    // One waiting datagram, decoded; nullopt when none is waiting. Malformed
    // datagrams are read and dropped: *dropped tells how many.
    std::optional<SessionDatagram> Receive(int* dropped);
    [[nodiscard]] bool SendTo(const std::string& path, const SessionDatagram& datagram);
    void Close();

  private:
    int fd_ = -1;
    std::string path_;
};

// Sends a request to the socket at target and waits up to timeoutMs for the
// reply with the same request id. replyDirectory holds the temporary reply
// socket (the session directory).
std::optional<SessionDatagram> SessionRequest(const std::string& replyDirectory,
                                              const std::string& target, SessionDatagram request,
                                              int timeoutMs);

}  // namespace tevorin::win
