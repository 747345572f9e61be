#pragma once
// The datagrams that processes of the desktop session send to each other's
// sockets. Every datagram starts with the same header; decoding checks sizes
// and values and rejects anything else, since any process of the user may
// write to a socket.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

namespace tevorin::win {

enum class SessionCommand : std::uint16_t {
    kPost = 1,      // queue a message for a window
    kShow = 2,      // ShowWindow on a window, answered when done if a reply address is given
    kTree = 3,      // answer with the window's child tree
    kClick = 4,     // click a button window, answer when done
    kSnapshot = 5,  // write a PNG of a top-level window to a path, answer when done
    kReply = 100,   // the answer to a request
};

struct SessionDatagram {
    SessionCommand command = SessionCommand::kPost;
    std::int32_t handle = 0;
    std::uint32_t requestId = 0;
    // kPost
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    // kShow: the ShowWindow command; kReply: 1 for success, 0 for failure
    std::int32_t value = 0;
    // Requests: the socket path to answer to (kShow: may be empty). kSnapshot:
    // also the PNG path. kReply to kShow: "visible" or "hidden" beforehand.
    std::string replyTo;
    std::string path;
    // kReply: the answer's text (UTF-8).
    std::string payload;
};

// Largest datagram either side sends or accepts.
inline constexpr std::size_t kMaxSessionDatagram = 60 * 1024;

std::vector<std::uint8_t> EncodeSessionDatagram(const SessionDatagram& datagram);
std::optional<SessionDatagram> DecodeSessionDatagram(const std::uint8_t* data, std::size_t size);

}  // namespace tevorin::win
